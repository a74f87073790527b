// Reading registry keys and strings in tests.
#include "tests/support/registry_probe.h"

#include <objbase.h>

#include "common/win/unique_any.h"

namespace hg::test {

bool KeyExists(HKEY root, const std::wstring& path) {
  win::unique_hkey key;
  return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

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

}  // namespace hg::test
