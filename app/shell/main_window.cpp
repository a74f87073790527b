// FMain's logic.
#include "app/shell/main_window.h"

namespace app::shell {
namespace {

void AssignIfValid(std::optional<int>& slot, int value) {
  if (value >= 0) slot = value;
}

}  // namespace

std::int32_t TabIndexFromKey(std::string_view key) {
  if (key == kHelpTabKey) return 1;
  if (key == kBlockSiteTabKey) return 2;
  return 0;
}

KeyCommand KeyCommandOf(int keyCode, int modifiers) {
  if (keyCode == kKeyF5) return modifiers == 0 ? KeyCommand::kRefresh : KeyCommand::kNone;
  if (keyCode == kKeyTab && (modifiers & kCtrl)) {
    return (modifiers & kShift) ? KeyCommand::kPreviousPage : KeyCommand::kNextPage;
  }
  return KeyCommand::kNone;
}

std::int32_t NextPage(std::int32_t current, std::int32_t pageCount) {
  return current + 1 > pageCount ? 1 : current + 1;
}

std::int32_t PreviousPage(std::int32_t current, std::int32_t pageCount) {
  return current - 1 < 1 ? pageCount : current - 1;
}

void LayOutMain(MainLayout& layout, int clientWidth, int clientHeight) {
  AssignIfValid(layout.tabHeight, clientHeight - 450);
  AssignIfValid(layout.pageHeight, clientHeight - 1035);
  AssignIfValid(layout.noteTop, clientHeight - 300);
  AssignIfValid(layout.tabWidth, clientWidth - 150);
  // The pages follow the tab strip's width as it stands, new or kept.
  if (layout.tabWidth) AssignIfValid(layout.pageWidth, *layout.tabWidth - 435);
}

void LayOutHelp(HelpLayout& layout, int paneWidth, int paneHeight) {
  AssignIfValid(layout.labelWidth, paneWidth - kHelpLabelLeft * 3 / 2);
  AssignIfValid(layout.labelHeight, paneHeight - kHelpLabelTop);
}

}  // namespace app::shell
