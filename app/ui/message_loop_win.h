// The program's message loop.
#pragma once

#include <windows.h>

#include <functional>

namespace app::ui {

// Hands a key meant for a window to the dialog manager of its top-level
// window, so that pages in ordinary windows get Tab, access keys and Enter
// as in a dialog. True when the dialog manager took the message.
bool TranslateDialogMessage(MSG& message);

// A handle the loop waits on beside the messages, so that what it signals
// costs nothing until it comes. Only this loop waits on it, not the modal
// loops of dialogs and message boxes: it is handled when they have ended.
struct LoopWait {
  std::function<HANDLE()> handle;   // what to wait on now; null: nothing
  std::function<void()> signalled;  // runs when it is signalled; must reset it
};

// Runs until WM_QUIT and returns its exit code (1 when the loop itself fails).
// `preview` sees every message first; true: it took the message.
int RunMessageLoop(const std::function<bool(MSG&)>& preview = {}, const LoopWait& wait = {});

}  // namespace app::ui
