// The program's entry point: common controls, the main window, the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/engine/user_dialogs_win.h"
#include "app/resource.h"
#include "app/shell/main_window_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&controls);
  try {
    app::engine::SystemDialogs dialogs(instance);
    app::engine::SetUserDialogs(&dialogs);
    app::engine::SetProductName(
        hg::win::Narrow(hg::win::LoadResourceString(instance, IDS_PRODUCT_NAME)));
    app::shell::MainWindow main(instance);
    main.Create();
    ::ShowWindow(main.handle(), show);
    ::UpdateWindow(main.handle());
    MSG message;
    BOOL got;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    return got == -1 ? 1 : static_cast<int>(message.wParam);
  } catch (const hg::win::HResultError&) {
    ::MessageBoxW(nullptr, L"Hedgerow cannot start.", L"Hedgerow", MB_OK | MB_ICONERROR);
    return 1;
  }
}
