// The program's own folders.
#include "app/engine/program_folder_win.h"

#include <windows.h>

#include "common/win/result.h"

namespace app {

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    THROW_LAST_ERROR_IF(length == 0);
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/"));
}

void EnsureProgramFolder(const std::wstring& folder) {
  // No security attributes: the new folder inherits its parent's rules.
  if (::CreateDirectoryW(folder.c_str(), nullptr)) return;
  const DWORD error = ::GetLastError();
  if (error == ERROR_ALREADY_EXISTS) {
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    hg::win::ThrowHResult(HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS));
  }
  const std::size_t slash = folder.find_last_of(L"\\/");
  // A root, or a folder name alone, has no parent to make first.
  if (error != ERROR_PATH_NOT_FOUND || slash == std::wstring::npos || slash < 3) {
    hg::win::ThrowHResult(HRESULT_FROM_WIN32(error));
  }
  EnsureProgramFolder(folder.substr(0, slash));
  THROW_IF_WIN32_BOOL_FALSE(::CreateDirectoryW(folder.c_str(), nullptr));
}

}  // namespace app
