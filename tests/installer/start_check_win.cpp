// Starts the installed program and waits for its main window (the splash has
// the same caption but a class of its own), then closes it. Prints what it
// found; exit status 0 when the main window appeared and the program ended
// when it was closed.
//   installer_start_check "C:\Program Files\Hedgerow\Hedgerow.exe"
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/support/running_program_win.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const hg::test::RunningProgram program(argv[1]);
  // The splash stays for its three seconds before the main window is made.
  const HWND main = program.WaitForWindow(L"HedgerowMainWindow", 60'000);
  if (!main) {
    std::printf("no main window\n");
    if (const HWND box = program.WaitForWindow(L"#32770", 0)) {
      for (const std::wstring& text : hg::test::ChildTexts(box)) std::printf("message box: %ls\n", text.c_str());
    }
    return 1;  // the program ends with `program`
  }
  std::printf("main window appeared\n");
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  if (program.WaitForExit() == STILL_ACTIVE) {
    std::printf("the program did not end\n");
    return 1;
  }
  return 0;
}
