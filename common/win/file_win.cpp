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

}  // namespace hg::win
