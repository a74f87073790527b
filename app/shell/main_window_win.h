// FMain: the program's main window, a tab strip with its two pages, the menus
// and the note at the bottom.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "app/engine/file_watcher_win.h"
#include "app/lists/block_site_win.h"
#include "app/lists/site_stores_win.h"
#include "app/shell/help_pane_win.h"
#include "app/shell/main_window.h"
#include "app/ui/window_win.h"

namespace app::shell {

// What the menus start in other parts of the program; an empty one does
// nothing.
struct MainWindowCommands {
  std::function<void(HWND owner)> passwordProtection;  // the protection settings dialog
};

class MainWindow final : public ui::Window {
 public:
  MainWindow(Services& services, MainWindowCommands commands = {}) noexcept
      : Window(services, "FMain"), commands_(std::move(commands)), help_(services),
        blockSite_(services, stores_) {}

  // Creates the window hidden, with its caption, menu, tab strip, pages and
  // note; throws when it cannot.
  void Create();
  // Builds the pages, places and initialises them, and shows the help page.
  void InitTabStrip();
  // Shows the window centred on the screen.
  void ShowCentred(int show);

  // The key handling of the whole window: every key release comes here
  // before the control with the focus gets it. True when it took the key.
  bool PreviewKey(const MSG& message);

  std::int32_t currentPage() const noexcept { return currentPage_; }
  HWND page(std::int32_t index) const noexcept;
  lists::BlockSitePage& blockSite() noexcept { return blockSite_; }
  lists::SystemSiteStores& stores() noexcept { return stores_; }

  // Signalled when the hosts file's folder changed; null when the window
  // does not watch it. The message loop waits on it and then calls
  // OnHostsFileChanged.
  HANDLE hostsFileChanges() const noexcept { return watcher_ ? watcher_->event() : nullptr; }
  // Reloads both lists when another program changed the hosts file.
  void OnHostsFileChanged();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Layout() override;

 private:
  void ShowCurrentPage();
  void SelectPage(std::int32_t index);
  void OnKeyUp(int keyCode, int modifiers);
  void OnCommand(int id);
  void BlockList();
  void WatchHostsFile();

  MainWindowCommands commands_;
  shell::HelpPane help_;
  lists::SystemSiteStores stores_;
  lists::BlockSitePage blockSite_;
  std::vector<HWND> pages_;
  std::int32_t currentPage_ = 0;
  shell::MainLayout layout_;
  std::optional<engine::FileWatcher> watcher_;
};

}  // namespace app::shell
