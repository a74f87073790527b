// FMain: the program's main window.
#include "app/shell/main_window_win.h"

#include <algorithm>

#include "app/resource.h"

namespace app::shell {
namespace {

constexpr wchar_t kClassName[] = L"HedgerowMainWindow";

HICON ProgramIcon(int metricX, int metricY) {
  return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_HEDGEROW),
                                         IMAGE_ICON, ::GetSystemMetrics(metricX),
                                         ::GetSystemMetrics(metricY), LR_SHARED));
}

}  // namespace

void MainWindow::Create() {
  CreateWindowOf(kClassName, WS_OVERLAPPEDWINDOW, WS_EX_CONTROLPARENT,
                 ProgramWideString(IDS_PRODUCT_NAME), nullptr, SIZE{720, 480},
                 ProgramIcon(SM_CXICON, SM_CYICON), ProgramIcon(SM_CXSMICON, SM_CYSMICON));
  sitePage_.CreateModeless(handle());
  Layout();
  ::ShowWindow(sitePage_.handle(), SW_SHOW);
  sitePage_.Init();
}

void MainWindow::Layout() {
  if (!sitePage_.handle()) return;
  // The page with a margin of 300 twips all round.
  RECT client{};
  ::GetClientRect(handle(), &client);
  const int margin = Pixels(300);
  ::SetWindowPos(sitePage_.handle(), nullptr, margin, margin,
                 std::max(0L, client.right - 2 * margin), std::max(0L, client.bottom - 2 * margin),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace app::shell
