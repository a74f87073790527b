// Registry roots as the library numbers them, their names, and the texts of
// the registry class's failures.
#include "shared/registry/registry_keys.h"

#include <initializer_list>

#include "common/text/utf.h"

namespace tk {

namespace {

// Fills %1, %2, ... in one pass, so that a parameter holding "%1" stays as it is.
std::string FillPlaceholders(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const std::size_t number = i + 1 < pattern.size() ? static_cast<std::size_t>(pattern[i + 1] - '0') : 0;
    if (pattern[i] == '%' && number >= 1 && number <= values.size()) {
      text += values.begin()[number - 1];
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

std::string StripBackslashes(std::string_view path) {
  std::size_t end = path.size();
  while (end > 0 && path[end - 1] == '\\') --end;
  return std::string(path.substr(0, end));
}

}  // namespace

bool Is64bitKey(std::uint32_t key) { return key == kLocalMachine64 || key == kClassesRoot64; }

std::uint32_t Get64bitRootKey(std::uint32_t key) {
  switch (key) {
    case kLocalMachine64: return kLocalMachine;
    case kClassesRoot64: return kClassesRoot;
    default: return 0;
  }
}

bool IsPredefinedRoot(std::uint32_t key) { return key >= kClassesRoot && key <= kDynData; }

std::string GetKeyName(std::uint32_t key) {
  switch (key) {
    case kClassesRoot: return "HKEY_CLASSES_ROOT";
    case kCurrentUser: return "HKEY_CURRENT_USER";
    case kLocalMachine: return "HKEY_LOCAL_MACHINE";
    case kUsers: return "HKEY_USERS";
    case kPerformanceData: return "HKEY_PERFORMANCE_DATA";
    case kCurrentConfig: return "HKEY_CURRENT_CONFIG";
    case kDynData: return "HKEY_DYN_DATA";
    case kLocalMachine64: return "HKEY_LOCAL_MACHINE_64BIT";
    case kClassesRoot64: return "HKEY_CLASSES_ROOT_64BIT";
    default: return std::to_string(static_cast<std::int32_t>(key));
  }
}

std::optional<std::string> ExportRootName(std::uint32_t key) {
  if (Is64bitKey(key)) key = Get64bitRootKey(key);
  if (!IsPredefinedRoot(key)) return std::nullopt;
  return GetKeyName(key);
}

std::string OpenKeyFailedText(std::uint32_t key, std::string_view subKey, bool readOnly) {
  return FillPlaceholders("OpenKey failed('%1\\%2', ReadOnly=%3)",
                          {GetKeyName(key), subKey, readOnly ? "True" : "False"});
}

std::string CreateKeyFailedText(std::uint32_t key, std::string_view subKey) {
  return FillPlaceholders("CreateKeyAnyOS failed('%1\\%2')", {GetKeyName(key), subKey});
}

std::string InvalidKeyText(std::uint32_t key) {
  return FillPlaceholders("Invalid key %1 on 32 bit Windows", {GetKeyName(key)});
}

bool NamesRoot(std::string_view subKey) { return StripBackslashes(subKey).empty(); }

std::string LastName(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsSameOrBelow(std::string_view path, std::string_view ancestor) {
  const std::string folded = hg::text::FoldCase(StripBackslashes(path)) + "\\";
  const std::string top = hg::text::FoldCase(StripBackslashes(ancestor)) + "\\";
  return top == "\\" || folded.starts_with(top);
}

}  // namespace tk
