// FAbout: the version, the copyright notice and the way to the home page.
#pragma once

#include "app/ui/window_win.h"
#include "common/win/unique_any.h"

namespace app::shell {

// Opens the product's home page in the user's browser; failures are ignored.
void OpenHomePage() noexcept;

class AboutBox final : public ui::Dialog {
 public:
  explicit AboutBox(Services& services) noexcept;

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void Layout() override;

  hg::win::unique_hicon logo_;
};

}  // namespace app::shell
