// The one window base and the one dialog base of the program.
#include "app/ui/window_win.h"

#include <uxtheme.h>
#include <vssym32.h>

#include "common/win/proc_address.h"
#include "common/win/result.h"

namespace app::ui {
namespace {

// Sent to child windows of a per-monitor aware program after their parent
// moved to a monitor of another DPI.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

int SystemDpi() noexcept {
  const HDC screen = ::GetDC(nullptr);
  if (!screen) return 96;
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// A window's device context with the window's font in it, for measuring.
class MeasuringDc {
 public:
  explicit MeasuringDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {
    const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0));
    if (dc_ && font) old_ = ::SelectObject(dc_, font);
  }
  MeasuringDc(const MeasuringDc&) = delete;
  MeasuringDc& operator=(const MeasuringDc&) = delete;
  ~MeasuringDc() {
    if (!dc_) return;
    if (old_) ::SelectObject(dc_, old_);
    ::ReleaseDC(window_, dc_);
  }
  HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

SIZE TextExtent(HWND control, const std::wstring& text) noexcept {
  const MeasuringDc dc(control);
  RECT bounds{0, 0, 0, 0};
  if (!dc.get() || !::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &bounds,
                                DT_CALCRECT | DT_NOPREFIX)) {
    return {0, 0};
  }
  return {bounds.right, bounds.bottom};
}

bool PaintTabFace(HWND page, HDC dc) noexcept {
  const HTHEME theme = ::OpenThemeData(page, L"TAB");
  if (!theme) return false;
  RECT client;
  const bool painted = ::GetClientRect(page, &client) &&
                       SUCCEEDED(::DrawThemeBackground(theme, dc, TABP_BODY, 0, &client, nullptr));
  ::CloseThemeData(theme);
  return painted;
}

int DpiOf(HWND window) noexcept {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  // Windows 10 and later; older systems have one DPI for every window.
  static const auto getDpiForWindow = hg::win::GetProc<GetDpiForWindowFunction>(
      ::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
  if (getDpiForWindow && window) {
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

void CentreWindow(HWND window, HWND over) noexcept {
  RECT area{};
  if (!over || !::GetWindowRect(over, &area)) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    area = monitor.rcWork;
  }
  RECT frame;
  if (!::GetWindowRect(window, &frame)) return;
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  ::SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowCore::Place(int id, const TwipsRect& place) const {
  // Edges are rounded, not sizes: controls that meet in twips meet in pixels,
  // and one on the window's edge ends on it.
  const int left = Pixels(place.left), top = Pixels(place.top);
  THROW_IF_WIN32_BOOL_FALSE(::SetWindowPos(Item(id), nullptr, left, top,
                                           Pixels(place.left + place.width) - left,
                                           Pixels(place.top + place.height) - top,
                                           SWP_NOZORDER | SWP_NOACTIVATE));
}

void WindowCore::Attach(HWND window) noexcept {
  window_ = window;
  dpi_ = DpiOf(window);
}

bool WindowCore::HandleCommon(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SIZE:
      Swallowing("Resize", [&] { Layout(); });
      return false;  // the window's own handler may want it too
    case WM_DPICHANGED: {
      dpi_ = LOWORD(wParam);
      // The system suggests the rectangle that keeps the window's size in inches.
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      if (suggested && !(::GetWindowLongPtrW(window_, GWL_STYLE) & WS_CHILD)) {
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
      }
      Swallowing("Resize", [&] { Layout(); });
      result = 0;
      return true;
    }
    case kDpiChangedAfterParent:
      dpi_ = DpiOf(window_);
      Swallowing("Resize", [&] { Layout(); });
      result = 0;
      return true;
    default:
      return false;
  }
}

void WindowCore::LogUntrapped(const char* procedure) noexcept {
  try {
    SwallowFailure(FailureOf(std::current_exception()), Source(procedure));
  } catch (...) {
    // Not even the log entry could be made; the procedure still returns.
  }
}

Window::~Window() {
  if (const HWND window = handle()) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    Detach();
    ::DestroyWindow(window);
  }
}

void Window::CreateWindowOf(const wchar_t* className, DWORD style, DWORD exStyle,
                            const std::wstring& caption, HWND parent, SIZE size, HICON icon,
                            HICON smallIcon) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (!::GetClassInfoExW(instance, className, &windowClass)) {
    windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    THROW_LAST_ERROR_IF(::RegisterClassExW(&windowClass) == 0);
  }
  const HWND window = ::CreateWindowExW(exStyle, className, caption.c_str(), style, CW_USEDEFAULT,
                                        CW_USEDEFAULT, size.cx, size.cy, parent, nullptr, instance,
                                        this);
  THROW_LAST_ERROR_IF(window == nullptr);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleCommon(message, wParam, lParam, result)) return result;
  if (message == WM_NEXTDLGCTL) {
    // The dialog manager moves the focus through the top-level window, as a
    // dialog would (a label's access key moves to the control after it).
    const HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : ::GetNextDlgTabItem(handle(), ::GetFocus(), wParam != 0);
    if (next) ::SetFocus(next);
    return 0;
  }
  return ::DefWindowProcW(handle(), message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->Attach(window);
  } else {
    self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->Detach();
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    self->LogUntrapped("WindowProc");
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

Dialog::~Dialog() {
  if (const HWND dialog = handle()) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
    Detach();
    ::DestroyWindow(dialog);
  }
}

INT_PTR Dialog::ShowModal(HWND owner) {
  modal_ = true;
  const INT_PTR result =
      ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                        Procedure, reinterpret_cast<LPARAM>(this));
  THROW_LAST_ERROR_IF(result == -1);
  return result;
}

void Dialog::CreateModeless(HWND parent) {
  modal_ = false;
  const HWND dialog =
      ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent,
                           Procedure, reinterpret_cast<LPARAM>(this));
  THROW_LAST_ERROR_IF(dialog == nullptr);
}

bool Dialog::OnCommand(int id, int, HWND) {
  if (id == IDCANCEL && modal_) {
    End(IDCANCEL);
    return true;
  }
  return false;
}

bool Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return HandleCommon(message, wParam, lParam, result);
}

void Dialog::End(INT_PTR result) { ::EndDialog(handle(), result); }

std::wstring Dialog::ItemText(int id) const {
  const HWND item = Item(id);
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    // Laid out before the handler fills it, so that it works on final places.
    Swallowing("Resize", [&] { Layout(); });
    return OnInitDialog() ? TRUE : FALSE;
  }
  if (message == WM_COMMAND) {
    return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE
                                                                                    : FALSE;
  }
  LRESULT result = 0;
  if (!HandleMessage(message, wParam, lParam, result)) return FALSE;
  ::SetWindowLongPtrW(handle(), DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR CALLBACK Dialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    self->Attach(dialog);
  } else {
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  }
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
    self->Detach();
    return FALSE;
  }
  try {
    return self->Dispatch(message, wParam, lParam);
  } catch (...) {
    self->LogUntrapped("DialogProc");
    // A dialog that could not be set up is not shown half made.
    if (message == WM_INITDIALOG && self->modal_) ::EndDialog(dialog, IDCANCEL);
    return message == WM_INITDIALOG ? TRUE : FALSE;
  }
}

}  // namespace app::ui
