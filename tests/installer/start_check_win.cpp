// Starts the installed program and waits for its main window: visible,
// captioned "Hedgerow" and of the main window's class (the splash has the
// same caption). Closes it again. Prints what it found; exit status 0 when the
// main window appeared and the program ended when it was closed.
//   installer_start_check "C:\Program Files\Hedgerow\Hedgerow.exe"
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
  DWORD process;
  HWND main = nullptr;
  HWND dialog = nullptr;
};

std::wstring Text(HWND window) {
  wchar_t text[512] = L"";
  ::GetWindowTextW(window, text, 512);
  return text;
}

BOOL CALLBACK Visit(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<Search*>(data);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != search.process || !::IsWindowVisible(window)) return TRUE;
  wchar_t className[64] = L"";
  ::GetClassNameW(window, className, 64);
  if (std::wstring(className) == L"#32770") {
    search.dialog = window;
  } else if (std::wstring(className) == L"HedgerowMainWindow" && Text(window) == L"Hedgerow") {
    search.main = window;
    return FALSE;
  }
  return TRUE;
}

// The first visible static text of a message box: its message.
BOOL CALLBACK PrintMessage(HWND child, LPARAM) {
  wchar_t className[64] = L"";
  ::GetClassNameW(child, className, 64);
  if (std::wstring(className) != L"Static" || Text(child).empty()) return TRUE;
  std::printf("message box: %ls\n", Text(child).c_str());
  return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    std::printf("cannot start: error %lu\n", ::GetLastError());
    return 1;
  }
  ::CloseHandle(process.hThread);
  Search search{process.dwProcessId};
  // The splash stays for its three seconds before the main window is made.
  for (int i = 0; i < 600 && !search.main; ++i) {
    search.dialog = nullptr;
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.main || ::WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) break;
  }
  int status = 0;
  if (search.main) {
    std::printf("main window appeared\n");
    ::PostMessageW(search.main, WM_CLOSE, 0, 0);
  } else {
    status = 1;
    std::printf("no main window\n");
    if (search.dialog) ::EnumChildWindows(search.dialog, PrintMessage, 0);
    ::TerminateProcess(process.hProcess, 1);
  }
  if (::WaitForSingleObject(process.hProcess, 30'000) != WAIT_OBJECT_0) {
    std::printf("the program did not end\n");
    ::TerminateProcess(process.hProcess, 1);
    status = 1;
  }
  ::CloseHandle(process.hProcess);
  return status;
}
