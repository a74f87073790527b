// Writing through a file handle.
#include "common/win/file_win.h"

#include <algorithm>

#include "common/win/result.h"

namespace hg::win {

void WriteAll(HANDLE file, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    THROW_IF_WIN32_BOOL_FALSE(::WriteFile(file, bytes.data() + done, chunk, &written, nullptr));
    if (written == 0) ThrowHResult(HRESULT_FROM_WIN32(ERROR_WRITE_FAULT));
    done += written;
  }
}

std::wstring ModuleFileName(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    THROW_LAST_ERROR_IF(length == 0);
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: a long path
  }
}

}  // namespace hg::win
