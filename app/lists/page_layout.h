// The layout of the site list page, in twips: its design and how it follows
// the page's size.
#pragma once

#include "app/ui/twips.h"

namespace app::lists {

struct PageLayout {
  ui::TwipsRect unblockedLabel;
  ui::TwipsRect unblocked;
  ui::TwipsRect removeUnblocked;
  ui::TwipsRect block;
  ui::TwipsRect unblock;
  ui::TwipsRect blockedLabel;
  ui::TwipsRect blocked;
  ui::TwipsRect addBlocked;
  int unblockedColumn;  // the width of each list's one column
  int blockedColumn;
};

// The places of the design, 5955 by 2970 twips.
PageLayout DesignLayout();

// Lays `layout` out for an inner size of `width` by `height` twips. The two
// lists share the width beside the buttons; the buttons below them sit on
// the bottom edge. A size that would become negative is not set: that
// control keeps its size and the steps after it still run.
void ResizePage(PageLayout& layout, double width, double height);

}  // namespace app::lists
