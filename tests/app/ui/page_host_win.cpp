// A top-level test window that holds one page.
#include "tests/app/ui/page_host_win.h"

#include "app/ui/message_loop_win.h"
#include "common/win/result.h"

namespace app::test {

void PageHost::Create(ui::Dialog& page, int width, int height) {
  page_ = &page;
  CreateWindowOf(L"HedgerowTestPageHost", WS_OVERLAPPEDWINDOW, WS_EX_CONTROLPARENT, L"Page host",
                 nullptr, SIZE{CW_USEDEFAULT, CW_USEDEFAULT});
  page.CreateModeless(handle());
  RECT frame{0, 0, Pixels(width), Pixels(height)};
  ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
  THROW_IF_WIN32_BOOL_FALSE(::SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  ::ShowWindow(handle(), SW_SHOW);
  ::ShowWindow(page.handle(), SW_SHOW);
  PumpMessages();
}

void PageHost::Layout() {
  if (!page_ || !page_->handle()) return;
  RECT client{};
  ::GetClientRect(handle(), &client);
  ::SetWindowPos(page_->handle(), nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (ui::TranslateDialogMessage(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void PressKey(UINT key, std::initializer_list<UINT> modifiers) {
  BYTE state[256] = {};
  ::GetKeyboardState(state);
  for (const UINT modifier : modifiers) state[modifier] = 0x80;
  ::SetKeyboardState(state);
  const HWND focus = ::GetFocus();
  // F10 and every key with Alt are system keys.
  const bool alt = state[VK_MENU] & 0x80;
  const bool system = alt || key == VK_F10;
  const LPARAM altBit = alt ? (1 << 29) : 0;
  ::PostMessageW(focus, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | altBit);
  ::PostMessageW(focus, system ? WM_SYSKEYUP : WM_KEYUP, key, 1 | altBit | (1u << 30) | (1u << 31));
  PumpMessages();
  for (const UINT modifier : modifiers) state[modifier] = 0;
  ::SetKeyboardState(state);
}

}  // namespace app::test
