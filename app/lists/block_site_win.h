// ucBlockSite: the site list page, the unblocked list on the left and the
// blocked list on the right with the move buttons between them. Owner-data
// list views show the model's lists: no per-item window work, however long.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/lists/page_layout.h"
#include "app/lists/site_lists.h"
#include "app/ui/window_win.h"
#include "common/win/unique_any.h"

namespace app::lists {

class BlockSitePage final : public ui::Dialog {
 public:
  BlockSitePage(Services& services, SiteStores& stores);

  // The page's operations for the window that holds it.
  void Init();
  void RefreshList();
  // RefreshList keeping the selection by name (another program's change).
  void Reload();
  void RefreshListviews();
  void CheckDuplicatesAndAddBlocked(const std::string& sitename);
  void UpdateBlockedFile();
  void UpdateUnblockedFile();
  // The bulk block: failures pass to the caller, which reports them.
  void BlockSites(const std::vector<std::string>& sites);

  SiteLists& model() noexcept { return model_; }

 private:
  using unique_imagelist = hg::win::unique_any<hg::win::NullTraits<HIMAGELIST, ::ImageList_Destroy>>;

  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void Layout() override;

  void SetUpList(int id);
  void SetUpTooltips();
  void LoadImages();
  // Copies the lists' selection and current item from the list views into
  // the model before a command, and everything back after it.
  void Capture();
  void Show();
  void ShowList(int id, SiteList& list);
  // Runs a command of the page on the lists as the user sees them.
  void Run(const std::function<void()>& command);
  LRESULT OnNotify(const NMHDR& header);
  void OnContextMenu(HWND list, LPARAM position);
  // Watches a list view's keys for the context-menu key.
  static LRESULT CALLBACK ListKeys(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR page);

  SiteList& ListOf(int id);

  SiteLists model_;
  PageLayout layout_ = DesignLayout();
  unique_imagelist images_;
  int imagesDpi_ = 0;
  hg::win::unique_hwnd tooltips_;
  hg::win::unique_hmenu menus_;
  std::wstring shownText_;  // the text last handed to a list view
};

}  // namespace app::lists
