// Reading registry keys and strings in tests.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace hg::test {

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path,
                                       const wchar_t* name = nullptr);
std::wstring GuidText(REFGUID guid);

// The names (UTF-8) of a key's values in registry order; nothing when the key
// cannot be opened.
std::optional<std::vector<std::string>> ValueNames(HKEY root, const std::wstring& path);
inline bool KeyExists(HKEY root, const std::wstring& path) { return ValueNames(root, path).has_value(); }
// Replaces the key by one that holds an empty text under each name; with no
// names, by no key.
void SetValueNames(HKEY root, const std::wstring& path, const std::vector<std::string>& names);

}  // namespace hg::test
