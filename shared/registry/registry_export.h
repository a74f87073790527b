// Registry-file text (format version 5): key lines and value lines.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tk {

constexpr std::uint32_t kTypeString = 1;
constexpr std::uint32_t kTypeBinary = 3;
constexpr std::uint32_t kTypeDword = 4;

// Two upper-case hexadecimal digits.
std::string ByteToHex(std::uint8_t byte);

// CR LF, "[root\subKey]", CR LF: the start of one key's section.
std::string KeySection(std::string_view rootName, std::string_view subKey);

// One value's line with its CR LF: "name"=data, or @=data for the default
// value. Names are UTF-8; string data are the registry's UTF-16LE bytes. A
// backslash or double quote in a name or string data gets a backslash before it.
std::string ValueLine(std::string_view name, std::uint32_t type, std::span<const std::uint8_t> data);

}  // namespace tk
