// FBlockList: the modal dialog "Block Web Sites", in which the user types
// several sites, one per line. It changes no list; its caller blocks what it
// collected.
#pragma once

#include <string>
#include <vector>

#include "app/ui/window_win.h"
#include "common/win/unique_any.h"

namespace app::lists {

class BlockListDialog final : public ui::Dialog {
 public:
  explicit BlockListDialog(Services& services);

  void Init() noexcept { okPressed_ = false; }
  // After ShowModal: whether the user confirmed with OK.
  bool OKPressed() const noexcept { return okPressed_; }
  // The lines typed, cleaned of blanks, each once; failures are logged and
  // what was collected before them is returned.
  std::vector<std::string> TypedSites();

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  void Layout() override;

  bool okPressed_ = false;
  std::string text_;
  hg::win::unique_hicon icon_;
  int iconDpi_ = 0;
};

}  // namespace app::lists
