// Whole-file reads and writes of bytes, failing with the Win32 error.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace tk {

// The file's bytes from the start, at most maxBytes of them. Throws
// HResultError with the Win32 error of the open or the read.
std::string ReadFileBytes(const std::wstring& path,
                          std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// The whole file's bytes. A file larger than maxSize is refused before
// anything is allocated, with HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE) and
// tooLarge as the description.
std::string ReadWholeFile(const std::wstring& path, unsigned long long maxSize,
                          const std::string& tooLarge);

// Replaces the file's content with bytes, creating the file when missing.
// Throws HResultError when it cannot be opened or wholly written.
void WriteFileBytes(const std::wstring& path, std::string_view bytes);

// The file as text in the system code page, and its inverse.
std::wstring LoadTextFile(const std::wstring& path);
void SaveTextFile(const std::wstring& path, std::wstring_view content);

}  // namespace tk
