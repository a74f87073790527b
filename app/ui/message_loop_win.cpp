// The program's message loop.
#include "app/ui/message_loop_win.h"

namespace app::ui {

bool TranslateDialogMessage(MSG& message) {
  const HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  return root && ::IsDialogMessageW(root, &message);
}

int RunMessageLoop(const std::function<bool(MSG&)>& preview) {
  MSG message;
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    if (preview && preview(message)) continue;
    if (TranslateDialogMessage(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace app::ui
