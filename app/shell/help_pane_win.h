// ucHelp: the first page of the main window, the product's icon beside what
// the program is for.
#pragma once

#include "app/shell/main_window.h"
#include "app/ui/window_win.h"
#include "common/win/unique_any.h"

namespace app::shell {

class HelpPane final : public ui::Window {
 public:
  explicit HelpPane(Services& services) noexcept : Window(services, "ucHelp") {}
  // A hidden child of `parent`.
  void Create(HWND parent);
  // Sets the description (string 112).
  void Init();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Layout() override;

 private:
  HelpLayout layout_;
  hg::win::unique_hicon icon_;
  int iconDpi_ = 0;
  bool themed_ = false;
};

}  // namespace app::shell
