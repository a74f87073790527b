// FMain: the program's main window.
#pragma once

#include "app/lists/block_site_win.h"
#include "app/lists/site_stores_win.h"
#include "app/ui/window_win.h"

namespace app::shell {

class MainWindow final : public ui::Window {
 public:
  explicit MainWindow(Services& services) : Window(services, "FMain") {}

  // Registers the class and creates the window (hidden) with the site list
  // page, loaded; throws HResultError.
  void Create();
  lists::BlockSitePage& sitePage() noexcept { return sitePage_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Layout() override;

  lists::SystemSiteStores stores_;
  lists::BlockSitePage sitePage_{services(), stores_};
};

}  // namespace app::shell
