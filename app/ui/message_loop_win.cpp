// The program's message loop.
#include "app/ui/message_loop_win.h"

namespace app::ui {

bool TranslateDialogMessage(MSG& message) {
  const HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  return root && ::IsDialogMessageW(root, &message);
}

int RunMessageLoop(const std::function<bool(MSG&)>& preview, const LoopWait& wait) {
  MSG message;
  for (;;) {
    const HANDLE handle = wait.handle ? wait.handle() : nullptr;
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(handle ? 1 : 0, &handle, INFINITE,
                                                     QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_FAILED) return 1;
    if (handle && woke == WAIT_OBJECT_0) {
      wait.signalled();
      continue;
    }
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      if (preview && preview(message)) continue;
      if (TranslateDialogMessage(message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

}  // namespace app::ui
