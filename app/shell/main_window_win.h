// FMain: the program's main window.
#pragma once

#include "app/ui/window_win.h"

namespace app::shell {

class MainWindow final : public ui::Window {
 public:
  explicit MainWindow(Services& services) noexcept : Window(services, "FMain") {}

  // Registers the class and creates the window (hidden); throws HResultError.
  void Create();

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace app::shell
