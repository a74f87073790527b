// Drives the running program from outside, in its Wine prefix.
//   hedgerow_probe speed [RUNS]  times the program's start: from the process
//       start to the splash on screen, and from the splash's end (a click on
//       its picture) to the main window ready for input with both lists
//       filled; then the engine's own read of the same hosts file, for
//       comparison (scripts/speed).
//   hedgerow_probe click-splash | tab N | about | close-about | exit
//       acts on the program already running, as a user would;
//   hedgerow_probe rect CLASS  prints where the window of the class is
//       (both for scripts/screenshots).
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <commctrl.h>

#include "app/engine/library_win.h"
#include "app/engine/mhgr_win.h"
#include "app/engine/services.h"
#include "app/resource.h"
#include "common/win/text_win.h"
#include "tests/support/running_program_win.h"

namespace {

double Now() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

struct Run {
  double splash = -1, main = -1, total = -1;
};

Run TimeOneStart() {
  Run run;
  const double start = Now();
  hg::test::RunningProgram program(ProgramFolder() + L"\\Hedgerow.exe");
  const HWND splash = program.WaitForWindow(L"HedgerowSplash", 30'000);
  if (!splash) return run;
  run.splash = Now() - start;
  // Released over the picture, as a user's click.
  ::PostMessageW(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  ::PostMessageW(splash, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  while (::IsWindow(splash)) ::Sleep(1);
  const double gone = Now();
  const HWND main = program.WaitForWindow(L"HedgerowMainWindow", 120'000);
  DWORD_PTR ignored = 0;
  if (!main || !::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 120'000, &ignored)) {
    return run;
  }
  run.main = Now() - gone;
  run.total = Now() - start;
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  program.WaitForExit();
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

HWND TopWindow(const wchar_t* className) {
  for (int i = 0; i < 500; ++i) {
    HWND found = nullptr;
    for (HWND window = ::FindWindowExW(nullptr, nullptr, className, nullptr); window;
         window = ::FindWindowExW(nullptr, window, className, nullptr)) {
      if (::IsWindowVisible(window)) found = window;
    }
    if (found) return found;
    ::Sleep(20);
  }
  return nullptr;
}

// One action on the running program; false when its window is not there.
bool Act(const std::wstring& action, const wchar_t* argument) {
  if (action == L"rect") {
    // Where a window of the class is on the screen, as ImageMagick's crop
    // geometry: WxH+X+Y.
    const HWND window = TopWindow(argument);
    RECT place;
    if (!window || !::GetWindowRect(window, &place)) return false;
    std::printf("%ldx%ld+%ld+%ld\n", place.right - place.left, place.bottom - place.top,
                place.left, place.top);
    return true;
  }
  if (action == L"click-splash") {
    const HWND splash = TopWindow(L"HedgerowSplash");
    if (!splash) return false;
    ::PostMessageW(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ::PostMessageW(splash, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    return true;
  }
  const HWND main = TopWindow(L"HedgerowMainWindow");
  if (!main) return false;
  if (action == L"tab") {
    const HWND tabs = ::FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr);
    // Focusing a tab selects it and tells the window, as a click does.
    return tabs && ::SendMessageW(tabs, TCM_SETCURFOCUS, _wtoi(argument) - 1, 0) >= 0;
  }
  if (action == L"about") return ::PostMessageW(main, WM_COMMAND, IDM_ABOUT, 0);
  if (action == L"close-about") {
    const HWND about = TopWindow(L"#32770");
    return about && ::PostMessageW(about, WM_COMMAND, IDOK, 0);
  }
  if (action == L"exit") return ::PostMessageW(main, WM_COMMAND, IDM_EXIT, 0);
  return false;
}

int Speed(int runs) {
  std::vector<double> splash, main, total;
  for (int i = 0; i < runs; ++i) {
    const Run run = TimeOneStart();
    if (run.splash < 0 || run.main < 0) {
      std::printf("start %d did not reach the main window\n", i + 1);
      return 1;
    }
    splash.push_back(run.splash);
    main.push_back(run.main);
    total.push_back(run.total);
  }
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  wchar_t windows[MAX_PATH];
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  app::engine::LibraryObjects library;
  app::Services services;
  services.library = &library;
  services.hostsFilePath =
      hg::win::Narrow(std::wstring(windows) + L"\\system32\\drivers\\etc\\hosts");
  const app::ScopedServices installed(services);
  std::vector<double> reads;
  for (int i = 0; i < runs; ++i) {
    const double start = Now();
    app::engine::ReadBlockedSites();
    reads.push_back(Now() - start);
  }
  std::printf("splash on screen: %.0f ms\nmain window after the splash: %.0f ms\n"
              "main window after the start, the splash clicked at once: %.0f ms\n"
              "engine's read of the hosts file: %.0f ms\n(medians of %d starts)\n",
              Median(splash), Median(main), Median(total), Median(reads), runs);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring action = argc > 1 ? argv[1] : L"";
  if (action == L"speed") return Speed(argc > 2 ? _wtoi(argv[2]) : 5);
  if (!Act(action, argc > 2 ? argv[2] : L"")) {
    std::printf("hedgerow_probe: cannot %ls\n", action.c_str());
    return 1;
  }
  return 0;
}
