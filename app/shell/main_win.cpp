// The program's entry point: the services, the main window, the message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/engine/library_win.h"
#include "app/engine/services.h"
#include "app/engine/strings_win.h"
#include "app/resource.h"
#include "app/shell/main_window_win.h"
#include "app/ui/message_loop_win.h"
#include "app/ui/system_dialogs_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

namespace {

std::string HostsFilePath() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
  THROW_LAST_ERROR_IF(length == 0 || length >= MAX_PATH);
  return hg::win::Narrow(std::wstring(folder, length) + L"\\system32\\drivers\\etc\\hosts");
}

int Run(int show) {
  app::ui::SystemDialogs dialogs;
  app::engine::LibraryObjects library;
  app::Services services;
  services.dialogs = &dialogs;
  services.library = &library;
  services.productName = app::ProgramString(IDS_PRODUCT_NAME);
  services.hostsFilePath = HostsFilePath();
  const app::ScopedServices installed(services);

  app::shell::MainWindow main(services);
  main.Create();
  ::ShowWindow(main.handle(), show);
  ::UpdateWindow(main.handle());
  return app::ui::RunMessageLoop();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&controls);
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exitCode = 1;
  try {
    exitCode = Run(show);
  } catch (...) {
    ::MessageBoxW(nullptr, L"Hedgerow cannot start.", L"Hedgerow", MB_OK | MB_ICONERROR);
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return exitCode;
}
