// Change notifications for one file.
#include "app/engine/file_watcher_win.h"

#include "common/win/result.h"
#include "common/win/text_win.h"

namespace app::engine {
namespace {

// A new name (a file moved into place), a write, a size: whatever shows the
// file's content may have changed.
constexpr DWORD kChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

}  // namespace

FileWatcher::FileWatcher(const std::string& path) {
  const std::wstring wide = hg::win::Widen(path);
  const std::size_t slash = wide.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : wide.substr(0, slash);
  name_ = slash == std::wstring::npos ? wide : wide.substr(slash + 1);
  folder_.reset(::CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                              nullptr));
  THROW_LAST_ERROR_IF(!folder_);
  event_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  THROW_LAST_ERROR_IF(!event_);
  Watch();
}

FileWatcher::~FileWatcher() {
  // The system writes into buffer_ until the read is over.
  if (::CancelIoEx(folder_.get(), &overlapped_) || ::GetLastError() != ERROR_NOT_FOUND) {
    DWORD bytes = 0;
    ::GetOverlappedResult(folder_.get(), &overlapped_, &bytes, TRUE);
  }
}

void FileWatcher::Watch() {
  overlapped_ = OVERLAPPED{};
  overlapped_.hEvent = event_.get();
  THROW_IF_WIN32_BOOL_FALSE(::ReadDirectoryChangesW(folder_.get(), buffer_.data(),
                                                    static_cast<DWORD>(buffer_.size()), FALSE,
                                                    kChanges, nullptr, &overlapped_, nullptr));
}

bool FileWatcher::TakeChanges() {
  DWORD bytes = 0;
  const bool read = ::GetOverlappedResult(folder_.get(), &overlapped_, &bytes, FALSE) != FALSE;
  const DWORD error = read ? ERROR_SUCCESS : ::GetLastError();
  if (!read && error != ERROR_NOTIFY_ENUM_DIR) hg::win::ThrowHResult(HRESULT_FROM_WIN32(error));
  // No bytes: more changes than the buffer holds, any of them the file's.
  bool named = !read || bytes == 0;
  for (DWORD offset = 0; read && offset < bytes;) {
    const auto& entry = *reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_.data() + offset);
    const std::wstring_view name(entry.FileName, entry.FileNameLength / sizeof(wchar_t));
    if (::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), name_.c_str(),
                               static_cast<int>(name_.size()), TRUE) == CSTR_EQUAL) {
      named = true;
    }
    if (entry.NextEntryOffset == 0) break;
    offset += entry.NextEntryOffset;
  }
  Watch();
  return named;
}

}  // namespace app::engine
