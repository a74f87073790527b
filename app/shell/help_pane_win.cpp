// ucHelp.
#include "app/shell/help_pane_win.h"

#include "app/engine/strings_win.h"
#include "app/resource.h"
#include "common/win/result.h"

namespace app::shell {
namespace {

constexpr int kImage = 1;
constexpr int kDescription = 2;
// The icon: 32 by 32 pixels at 96 dots per inch, at left 210, top 240.
constexpr int kIconLeft = 210, kIconTop = 240, kIconSize = 480;

}  // namespace

void HelpPane::Create(HWND parent) {
  CreateWindowOf(L"HedgerowHelpPane", WS_CHILD | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, L"",
                 parent, SIZE{0, 0});
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  THROW_LAST_ERROR_IF(!::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_ICON |
                                         SS_REALSIZECONTROL, 0, 0, 0, 0, handle(),
                                         reinterpret_cast<HMENU>(kImage), instance, nullptr));
  THROW_LAST_ERROR_IF(!::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                                         0, 0, 0, 0, handle(),
                                         reinterpret_cast<HMENU>(kDescription), instance, nullptr));
  ::SendMessageW(Item(kDescription), WM_SETFONT,
                 reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  Layout();
}

void HelpPane::Init() {
  THROW_IF_WIN32_BOOL_FALSE(
      ::SetWindowTextW(Item(kDescription), ProgramWideString(IDS_HELP_DESCRIPTION).c_str()));
}

void HelpPane::Layout() {
  if (!Item(kDescription)) return;
  if (iconDpi_ != dpi()) {
    const int size = Pixels(kIconSize);
    hg::win::unique_hicon icon(static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_HEDGEROW), IMAGE_ICON, size, size, 0)));
    ::SendMessageW(Item(kImage), STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    icon_ = std::move(icon);
    iconDpi_ = dpi();
  }
  Place(kImage, {kIconLeft, kIconTop, kIconSize, kIconSize});
  RECT client;
  ::GetClientRect(handle(), &client);
  LayOutHelp(layout_, Twips(client.right), Twips(client.bottom));
  Place(kDescription, {kHelpLabelLeft, kHelpLabelTop, layout_.labelWidth.value_or(0),
                       layout_.labelHeight.value_or(0)});
}

LRESULT HelpPane::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // The page shows on the tab strip's face.
  if (message == WM_ERASEBKGND) {
    themed_ = ui::PaintTabFace(handle(), reinterpret_cast<HDC>(wParam));
    if (themed_) return 1;
  }
  if (message == WM_CTLCOLORSTATIC) {
    ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    return reinterpret_cast<LRESULT>(themed_ ? ::GetStockObject(NULL_BRUSH)
                                             : ::GetSysColorBrush(COLOR_BTNFACE));
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace app::shell
