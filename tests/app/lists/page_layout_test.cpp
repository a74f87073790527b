#include "app/lists/page_layout.h"

#include <gtest/gtest.h>

namespace app::lists {
namespace {

TEST(PageLayout, ListsShareTheWidthAndButtonsSitOnTheBottom) {
  PageLayout page = DesignLayout();
  ResizePage(page, 8000, 4000);
  // (8000 - 1335) / 2 = 3332.5 -> 3332
  EXPECT_EQ(page.unblocked, (ui::TwipsRect{0, 270, 3332, 3325}));
  EXPECT_EQ(page.blocked, (ui::TwipsRect{3332 + 105 + 1120 + 105, 270, 3332, 3325}));
  EXPECT_EQ(page.block.left, 3437);
  EXPECT_EQ(page.unblock.left, 3437);
  EXPECT_EQ(page.blockedLabel.left, page.blocked.left);
  EXPECT_EQ(page.removeUnblocked, (ui::TwipsRect{15, 3655, 3302, 345}));
  EXPECT_EQ(page.addBlocked, (ui::TwipsRect{page.blocked.left + 15, 3655, 3302, 345}));
  EXPECT_EQ(page.unblockedColumn, 3212);
  EXPECT_EQ(page.blockedColumn, 3212);
  EXPECT_EQ(page.unblockedLabel, DesignLayout().unblockedLabel);
  ResizePage(page, 4336.4, 3000);  // a size between two twips
  EXPECT_EQ(page.unblocked.width, 1500);
}

TEST(PageLayout, SizesThatWouldBeNegativeAreSkippedAndTheRestStillRuns) {
  PageLayout page = DesignLayout();
  ResizePage(page, 1200, 300);
  EXPECT_EQ(page.unblocked.width, 2295);  // the design width stays
  EXPECT_EQ(page.block.left, 2295 + 105);
  EXPECT_EQ(page.removeUnblocked.top, 300 - 345);  // a place may be negative
  EXPECT_EQ(page.unblocked.height, 2175);
  ResizePage(page, 1455, 300);  // 60 twips each: the columns cannot be 120 narrower
  EXPECT_EQ(page.unblocked.width, 60);
  EXPECT_EQ(page.unblockedColumn, 2295 - 120);
  EXPECT_EQ(page.removeUnblocked.width, 30);
}

}  // namespace
}  // namespace app::lists
