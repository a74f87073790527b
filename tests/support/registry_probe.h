// Reading registry keys and strings in tests.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace hg::test {

bool KeyExists(HKEY root, const std::wstring& path);
std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path,
                                       const wchar_t* name = nullptr);
std::wstring GuidText(REFGUID guid);

}  // namespace hg::test
