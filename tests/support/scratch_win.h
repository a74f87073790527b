// Test helpers for file tests under Wine: a scratch drive and a scratch
// folder on it, and raw file bytes written and read without the code under
// test.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#include "common/win/unique_any.h"

namespace hg::test {

// One of the drives scripts/wine-prefix maps to folders of the prefix
// (C:\hg-scratch\<letter>), held by this process alone while the object
// lives and emptied before and after: a fault under test that removes more
// than it names removes at most this drive's content.
class ScratchDrive {
 public:
  ScratchDrive() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (;;) {
      for (const wchar_t letter : std::wstring_view(L"RSTUVW")) {
        if (TryTake(letter)) return;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        throw std::runtime_error("no scratch drive is free (or the prefix has none)");
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ~ScratchDrive() { Empty(); }
  ScratchDrive(const ScratchDrive&) = delete;
  ScratchDrive& operator=(const ScratchDrive&) = delete;

  // "S:\"
  const std::wstring& root() const { return root_; }
  // The folder the drive shows, under its other name on drive C:.
  std::wstring folder() const { return L"C:\\hg-scratch\\" + root_.substr(0, 1); }

 private:
  bool TryTake(wchar_t letter) {
    const std::wstring root = std::wstring(1, letter) + L":\\";
    if (::GetDriveTypeW(root.c_str()) != DRIVE_FIXED) return false;
    // The lock lies beside the drive's folder, out of the drive's reach.
    const std::wstring lock = L"C:\\hg-scratch\\" + std::wstring(1, letter) + L".lock";
    hg::win::unique_file_handle held(::CreateFileW(lock.c_str(), GENERIC_WRITE, 0, nullptr,
                                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held) return false;
    lock_ = std::move(held);
    root_ = root;
    Empty();
    return true;
  }
  void Empty() {
    if (!root_.empty()) RemoveContent(L"\\\\?\\" + root_);
  }
  // Through the long-path name: a failing test may leave a tree deeper than
  // MAX_PATH, which std::filesystem cannot remove here.
  static void RemoveContent(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const hg::win::unique_find_handle search(::FindFirstFileW((folder + L"*").c_str(), &found));
    for (bool more = search.get() != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search.get(), &found)) {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A link goes, never what it leads to.
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveContent(path + L"\\");
        ::RemoveDirectoryW(path.c_str());
      } else {
        ::DeleteFileW(path.c_str());
      }
    }
  }

  hg::win::unique_file_handle lock_;
  std::wstring root_;
};

// <scratch drive>\hg-<tag>, created empty.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::wstring_view tag) : path_(drive_.root() + L"hg-" + std::wstring(tag)) {
    std::filesystem::create_directory(path_);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const ScratchDrive& drive() const { return drive_; }
  const std::wstring& path() const { return path_; }
  std::wstring operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  ScratchDrive drive_;
  std::wstring path_;
};

inline void WriteRaw(const std::wstring& path, std::string_view bytes) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) {
    throw std::runtime_error("cannot write test file");
  }
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadRaw(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

// The file opened for reading and shared with no one, as long as the handle lives.
inline hg::win::unique_file_handle Locked(const std::wstring& path) {
  hg::win::unique_file_handle file(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot lock test file");
  return file;
}

inline bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace hg::test
