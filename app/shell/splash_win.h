// FSplash: the product's picture while the program starts. It goes after
// three seconds, or at once when a mouse button is released over it.
#pragma once

#include <windows.h>

#include "app/shell/picture_win.h"
#include "app/ui/window_win.h"

namespace app::shell {

class SplashWindow final : public ui::Window {
 public:
  explicit SplashWindow(Services& services) noexcept : Window(services, "FSplash") {}

  // Creates the window centred on the screen and shows it without making it
  // modal; it starts its timer at once.
  void Show();
  bool visible() const noexcept { return handle() && ::IsWindowVisible(handle()); }
  // Lets the window system run until the splash has gone.
  void WaitUntilGone();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Unload() noexcept;
  void Paint();

  unique_hbitmap picture_;
  int pictureDpi_ = 0;
};

}  // namespace app::shell
