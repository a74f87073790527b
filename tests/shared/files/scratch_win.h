// Test helpers for file tests under Wine: a scratch folder below the drive
// root, and raw file bytes written and read without the code under test.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace hg::test {

// C:\hg-<tag>-<process id>, created empty and removed with everything in it.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::wstring_view tag)
      : path_(L"C:\\hg-" + std::wstring(tag) + L"-" + std::to_wstring(::GetCurrentProcessId())) {
    Remove();
    std::filesystem::create_directory(path_);
  }
  ~ScratchFolder() { Remove(); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  void Remove() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  std::wstring path_;
};

inline void WriteRaw(const std::wstring& path, std::string_view bytes) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create test file");
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadRaw(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  ::CloseHandle(file);
  return bytes;
}

inline bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace hg::test
