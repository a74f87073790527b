// A top-level test window that holds one page (a modeless child dialog) over
// its whole client area, and a pump that runs messages as the program's loop does.
#pragma once

#include <windows.h>

#include "app/ui/window_win.h"

namespace app::test {

class PageHost final : public ui::Window {
 public:
  explicit PageHost(Services& services) noexcept : Window(services, "PageHost") {}

  // Creates the host with a client area of `width` by `height` twips, shown,
  // and `page` in it.
  void Create(ui::Dialog& page, int width, int height);

 private:
  void Layout() override;

  ui::Dialog* page_ = nullptr;
};

// Runs the messages already queued for this thread through the program's
// dialog-manager translation.
void PumpMessages();

// Sends a key press (down and up) to the window with the focus, through the
// queue and the program's translation, as typing does. `modifiers` are held
// down for it (VK_SHIFT, VK_CONTROL, VK_MENU).
void PressKey(UINT key, std::initializer_list<UINT> modifiers = {});

}  // namespace app::test
