#include "tests/support/running_program_win.h"

#include <functional>
#include <list>

#include "tests/support/win_test_support.h"

namespace hg::test {
namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  ::GetClassNameW(window, name, 128);
  return name;
}

// The first window `enumerate` (EnumWindows, or EnumChildWindows of a parent)
// offers that `wanted` takes; null when none.
HWND FirstWindow(const std::function<void(WNDENUMPROC, LPARAM)>& enumerate,
                 const std::function<bool(HWND)>& wanted) {
  struct Search {
    const std::function<bool(HWND)>* wanted;
    HWND found;
  } search{&wanted, nullptr};
  enumerate(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(parameter);
        if (!(*s.wanted)(window)) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

RunningProgram::RunningProgram(const std::wstring& program,
                               const std::vector<std::wstring>& environment,
                               const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  // The child inherits the changes, which this process holds only while it starts.
  std::list<ScopedEnvironment> changes;
  for (const std::wstring& change : environment) {
    const size_t equals = change.find(L'=');
    changes.emplace_back(change.substr(0, equals), change.substr(equals + 1));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
    process_.reset(process.hProcess);
    ::CloseHandle(process.hThread);
    id_ = process.dwProcessId;
  }
}

RunningProgram::~RunningProgram() {
  if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), 10'000);
  }
}

HWND RunningProgram::WaitForWindow(const std::wstring& className, DWORD milliseconds) const {
  const auto wanted = [&](HWND window) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    return owner == id_ && ::IsWindowVisible(window) && (className.empty() || ClassOf(window) == className);
  };
  const DWORD start = ::GetTickCount();
  HWND found = nullptr;
  while (id_ != 0) {
    found = FirstWindow([](WNDENUMPROC each, LPARAM parameter) { ::EnumWindows(each, parameter); }, wanted);
    if (found || ::GetTickCount() - start > milliseconds) break;
    if (::WaitForSingleObject(process_.get(), 20) == WAIT_OBJECT_0) break;
  }
  return found;
}

DWORD RunningProgram::WaitForExit(DWORD milliseconds) const {
  if (!process_ || ::WaitForSingleObject(process_.get(), milliseconds) != WAIT_OBJECT_0) {
    return STILL_ACTIVE;
  }
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(process_.get(), &code);
  return code;
}

std::vector<std::wstring> ChildTexts(HWND window) {
  std::vector<std::wstring> texts;
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM parameter) -> BOOL {
        reinterpret_cast<std::vector<std::wstring>*>(parameter)->push_back(WindowText(child));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

HWND FindChild(HWND window, const std::wstring& className) {
  return FirstWindow([window](WNDENUMPROC each, LPARAM parameter) { ::EnumChildWindows(window, each, parameter); },
                     [&](HWND child) { return ClassOf(child) == className; });
}

}  // namespace hg::test
