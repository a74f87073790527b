// Registry roots as the library numbers them, their names, and the texts of
// the registry class's failures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shared/tree_walk.h"

namespace tk {

// The values of enRegistryKey. The plain roots are the platform's predefined
// handles; the two 64-bit members are pseudo roots for the native view.
constexpr std::uint32_t kClassesRoot = 0x80000000;
constexpr std::uint32_t kCurrentUser = 0x80000001;
constexpr std::uint32_t kLocalMachine = 0x80000002;
constexpr std::uint32_t kUsers = 0x80000003;
constexpr std::uint32_t kPerformanceData = 0x80000004;
constexpr std::uint32_t kCurrentConfig = 0x80000005;
constexpr std::uint32_t kDynData = 0x80000006;
constexpr std::uint32_t kLocalMachine64 = 1;
constexpr std::uint32_t kClassesRoot64 = 2;

bool Is64bitKey(std::uint32_t key);
// The plain root behind a 64-bit pseudo root; 0 for any other value.
std::uint32_t Get64bitRootKey(std::uint32_t key);
// A predefined root of the platform (the only values passed on as handles).
bool IsPredefinedRoot(std::uint32_t key);

// The member's name; any other value gives its decimal text.
std::string GetKeyName(std::uint32_t key);
// The root's name in registry-file text (the view is not recorded); nothing
// for a value outside the enumeration.
std::optional<std::string> ExportRootName(std::uint32_t key);

std::string OpenKeyFailedText(std::uint32_t key, std::string_view subKey, bool readOnly);
std::string CreateKeyFailedText(std::uint32_t key, std::string_view subKey);
std::string InvalidKeyText(std::uint32_t key);
inline constexpr std::string_view kKey64OnOs32 = "64-bit key on 32-bit OS.";
inline constexpr std::string_view kKeyInsideSource =
    "The destination lies inside the key to copy.";

// True when the subkey, without one trailing backslash, names the root itself.
bool NamesRoot(std::string_view subKey);
// The text after the last backslash (all of it when there is none).
std::string LastName(std::string_view path);
// True when path is ancestor or lies below it, regardless of letter case; every
// path lies below the root (an empty ancestor).
bool IsSameOrBelow(std::string_view path, std::string_view ancestor);

}  // namespace tk
