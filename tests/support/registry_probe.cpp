// Reading registry keys and strings in tests.
#include "tests/support/registry_probe.h"

#include <objbase.h>

#include <stdexcept>

#include "common/win/text_win.h"
#include "common/win/unique_any.h"

namespace hg::test {

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const wchar_t* name) {
  wchar_t data[4096];
  DWORD size = sizeof(data);
  if (::RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(data);
}

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40];
  ::StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
  return text;
}

std::optional<std::vector<std::string>> ValueNames(HKEY root, const std::wstring& path) {
  win::unique_hkey key;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
  std::vector<std::string> names;
  wchar_t name[16384];
  for (DWORD i = 0, length = 16384;
       ::RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++i, length = 16384) {
    names.push_back(win::Narrow(std::wstring_view(name, length)));
  }
  return names;
}

void SetValueNames(HKEY root, const std::wstring& path, const std::vector<std::string>& names) {
  ::RegDeleteTreeW(root, path.c_str());
  for (const std::string& name : names) {
    if (::RegSetKeyValueW(root, path.c_str(), win::Widen(name).c_str(), REG_SZ, L"", sizeof(wchar_t)) !=
        ERROR_SUCCESS) {
      throw std::runtime_error("cannot write a test value");
    }
  }
}

}  // namespace hg::test
