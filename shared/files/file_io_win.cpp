// Whole-file reads and writes of bytes, failing with the Win32 error.
#include "shared/files/file_io_win.h"

#include <windows.h>

#include <algorithm>

#include "common/win/file_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"

namespace tk {

using hg::win::unique_file_handle;

namespace {

unique_file_handle OpenToRead(const std::wstring& path) {
  unique_file_handle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  THROW_LAST_ERROR_IF(!file);
  return file;
}

unsigned long long SizeOf(HANDLE file) {
  LARGE_INTEGER size{};
  THROW_IF_WIN32_BOOL_FALSE(::GetFileSizeEx(file, &size));
  return static_cast<unsigned long long>(size.QuadPart);
}

std::string ReadBytes(HANDLE file, unsigned long long wanted) {
  std::string bytes(static_cast<std::size_t>(wanted), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD read = 0;
    THROW_IF_WIN32_BOOL_FALSE(::ReadFile(file, bytes.data() + done, chunk, &read, nullptr));
    if (read == 0) break;  // the file shrank while we read it
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace

std::string ReadFileBytes(const std::wstring& path, std::size_t maxBytes) {
  const unique_file_handle file = OpenToRead(path);
  return ReadBytes(file.get(), std::min<unsigned long long>(SizeOf(file.get()), maxBytes));
}

std::string ReadWholeFile(const std::wstring& path, unsigned long long maxSize,
                          const std::string& tooLarge) {
  const unique_file_handle file = OpenToRead(path);
  const unsigned long long size = SizeOf(file.get());
  if (size > maxSize) hg::win::ThrowHResult(HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), tooLarge);
  // Bytes appended while we read are left out, as the size promised.
  return ReadBytes(file.get(), size);
}

void WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  // Opening without truncating keeps a hidden or system file's attributes
  // acceptable; the end is cut after the write.
  unique_file_handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  THROW_LAST_ERROR_IF(!file);
  hg::win::WriteAll(file.get(), bytes);
  // A device (NUL, a console, a pipe) has no end to cut.
  if (::GetFileType(file.get()) == FILE_TYPE_DISK) {
    THROW_IF_WIN32_BOOL_FALSE(::SetEndOfFile(file.get()));
  }
}

std::wstring LoadTextFile(const std::wstring& path) {
  return hg::win::AnsiToWide(ReadFileBytes(path));
}

void SaveTextFile(const std::wstring& path, std::wstring_view content) {
  WriteFileBytes(path, hg::win::WideToAnsi(content) + "\r\n");
}

}  // namespace tk
