// The real Hedgerow.exe, started by a test in the test prefix: its windows,
// found among the process's own, and its end.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win/unique_any.h"

namespace hg::test {

class RunningProgram {
 public:
  // Starts `program`; `environment` entries ("NAME=value", or "NAME=" to
  // take a variable away) change the child's environment only.
  explicit RunningProgram(const std::wstring& program,
                          const std::vector<std::wstring>& environment = {},
                          const std::wstring& arguments = {});
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  DWORD id() const { return id_; }
  // The first visible top-level window of the process with the class (any
  // class when empty), waiting up to `milliseconds`; null when none came.
  HWND WaitForWindow(const std::wstring& className, DWORD milliseconds = 30'000) const;
  // The process's exit code, or STILL_ACTIVE when it did not end in time.
  DWORD WaitForExit(DWORD milliseconds = 30'000) const;

 private:
  hg::win::unique_handle process_;
  DWORD id_ = 0;
};

// The texts of a window's child controls, in order.
std::vector<std::wstring> ChildTexts(HWND window);
// The first child with the class, null when there is none.
HWND FindChild(HWND window, const std::wstring& className);

}  // namespace hg::test
