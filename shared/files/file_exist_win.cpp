// The library's existence test of a path.
#include "shared/files/file_exist_win.h"

#include <windows.h>

namespace tk {

bool IsFileExist(std::wstring path) noexcept {
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  ::FindClose(search);
  return true;
}

}  // namespace tk
