// FSplash.
#include "app/shell/splash_win.h"

#include "app/resource.h"
#include "common/win/result.h"

namespace app::shell {
namespace {

constexpr UINT_PTR kTimer = 1;
constexpr UINT kInterval = 3000;
// The picture's size in twips: 400 by 316 pixels at 96 dots per inch.
constexpr int kWidth = 6000;
constexpr int kHeight = 4740;

}  // namespace

void SplashWindow::Show() {
  CreateWindowOf(L"HedgerowSplash", WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW, L"Hedgerow", nullptr,
                 SIZE{1, 1});
  RECT frame{0, 0, Pixels(kWidth), Pixels(kHeight)};
  ::AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
  ::SetWindowPos(handle(), HWND_TOP, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE);
  ui::CentreWindow(handle(), nullptr);
  THROW_LAST_ERROR_IF(::SetTimer(handle(), kTimer, kInterval, nullptr) == 0);
  ::ShowWindow(handle(), SW_SHOW);
  ::UpdateWindow(handle());
}

void SplashWindow::WaitUntilGone() {
  while (visible()) {
    MSG message;
    if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::WaitMessage();
      continue;
    }
    if (message.message == WM_QUIT) {
      // Not ours to take: the main loop ends on it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void SplashWindow::Unload() noexcept {
  if (!handle()) return;
  ::KillTimer(handle(), kTimer);
  ::DestroyWindow(handle());
}

void SplashWindow::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(handle(), &paint);
  if (!dc) return;
  RECT client;
  ::GetClientRect(handle(), &client);
  // The picture drawn for this resolution, or the nearest larger one.
  if (!picture_ || pictureDpi_ != dpi()) {
    picture_ = LoadPngResource(::GetModuleHandleW(nullptr), PictureForDpi(IDP_SPLASH_96, dpi()));
    pictureDpi_ = dpi();
  }
  BITMAP size{};
  ::GetObjectW(picture_.get(), sizeof(size), &size);
  const HDC source = ::CreateCompatibleDC(dc);
  const HGDIOBJ old = ::SelectObject(source, picture_.get());
  ::SetStretchBltMode(dc, HALFTONE);
  ::StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, size.bmWidth, size.bmHeight,
               SRCCOPY);
  ::SelectObject(source, old);
  ::DeleteDC(source);
  ::EndPaint(handle(), &paint);
}

LRESULT SplashWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      // The splash ignores its failures: at worst it stays blank for its time.
      try {
        Paint();
      } catch (...) {
        ::ValidateRect(handle(), nullptr);
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      Unload();
      return 0;
    case WM_KEYUP:
      // A keyboard user need not wait either.
      if (wParam == VK_ESCAPE || wParam == VK_RETURN || wParam == VK_SPACE) Unload();
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace app::shell
