// Change notifications for one file. The folder that holds it is watched:
// editors, like the program itself, replace the file rather than write it
// in place, and a watch on the file would end with the file it was set on.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "common/win/unique_any.h"

namespace app::engine {

class FileWatcher {
 public:
  // Starts watching the file at `path` (UTF-8); throws when it cannot.
  explicit FileWatcher(const std::string& path);
  ~FileWatcher();
  FileWatcher(const FileWatcher&) = delete;
  FileWatcher& operator=(const FileWatcher&) = delete;

  // Signalled when the folder reported changes; a message loop waits on it.
  HANDLE event() const noexcept { return event_.get(); }
  // Once the event is signalled: true when the file was among the changes
  // (or too many came to tell). Then watches on; throws when it cannot.
  bool TakeChanges();

 private:
  void Watch();

  std::wstring name_;
  hg::win::unique_file_handle folder_;
  hg::win::unique_handle event_;
  OVERLAPPED overlapped_{};
  alignas(DWORD) std::array<BYTE, 16 * 1024> buffer_{};
};

}  // namespace app::engine
