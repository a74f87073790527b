// FMain: the program's main window.
#include "app/shell/main_window_win.h"

#include "app/resource.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

namespace app::shell {
namespace {

constexpr wchar_t kClassName[] = L"HedgerowMainWindow";

}  // namespace

MainWindow::~MainWindow() {
  if (window_) ::DestroyWindow(window_);
}

void MainWindow::Create() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (!::GetClassInfoExW(instance_, kClassName, &windowClass)) {
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = static_cast<HICON>(::LoadImageW(
        instance_, MAKEINTRESOURCEW(IDI_HEDGEROW), IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
        ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(::LoadImageW(
        instance_, MAKEINTRESOURCEW(IDI_HEDGEROW), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
        ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    THROW_LAST_ERROR_IF(::RegisterClassExW(&windowClass) == 0);
  }
  const std::wstring caption = hg::win::LoadResourceString(instance_, IDS_PRODUCT_NAME);
  const HWND window = ::CreateWindowExW(0, kClassName, caption.c_str(), WS_OVERLAPPEDWINDOW,
                                        CW_USEDEFAULT, CW_USEDEFAULT, 720, 480, nullptr, nullptr,
                                        instance_, this);
  THROW_LAST_ERROR_IF(window == nullptr);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's dispatcher.
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return ::DefWindowProcW(window_, message, wParam, lParam);
  }
}

void MainWindow::OnDestroy() {
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  window_ = nullptr;
  ::PostQuitMessage(0);
}

}  // namespace app::shell
