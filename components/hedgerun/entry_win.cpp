// HedgeRun.dll's rundll32 entries: rundll32 prefers the wide one, which keeps
// folder names the system code page cannot spell.
#include <windows.h>

#include "common/win/text_win.h"
#include "components/hedgerun/launch_win.h"

extern "C" void CALLBACK hedgerunW(HWND, HINSTANCE, LPWSTR commandLine, int show) {
  hg::hedgerun::StartProgram(commandLine ? commandLine : L"", show, hg::hedgerun::ShowMessageBox);
}

extern "C" void CALLBACK hedgerun(HWND, HINSTANCE, LPSTR commandLine, int show) {
  std::wstring wide;
  try {
    wide = hg::win::AnsiToWide(commandLine ? commandLine : "");
  } catch (...) {
    return;  // out of memory: nothing can be started
  }
  hg::hedgerun::StartProgram(wide, show, hg::hedgerun::ShowMessageBox);
}
