#include "app/shell/main_window.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace app::shell {
namespace {

TEST(MainWindowLogic, TabIndexFromKey) {
  EXPECT_EQ(TabIndexFromKey("help"), 1);
  EXPECT_EQ(TabIndexFromKey("blocksite"), 2);
  EXPECT_EQ(TabIndexFromKey("Help"), 0);
  EXPECT_EQ(TabIndexFromKey(""), 0);
}

TEST(MainWindowLogic, KeysAndPages) {
  struct Row {
    int key, modifiers;
    KeyCommand command;
  };
  const Row rows[] = {
      {kKeyF5, 0, KeyCommand::kRefresh},
      {kKeyF5, kShift, KeyCommand::kNone},
      {kKeyF5, kCtrl, KeyCommand::kNone},
      {kKeyTab, kCtrl, KeyCommand::kNextPage},
      {kKeyTab, kCtrl | kAlt, KeyCommand::kNextPage},
      {kKeyTab, kCtrl | kShift, KeyCommand::kPreviousPage},
      {kKeyTab, 0, KeyCommand::kNone},
      {kKeyTab, kShift, KeyCommand::kNone},
      {'R', kCtrl, KeyCommand::kNone},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(KeyCommandOf(row.key, row.modifiers), row.command) << row.key << " " << row.modifiers;
  }
  EXPECT_EQ(NextPage(1, kPageCount), 2);
  EXPECT_EQ(NextPage(2, kPageCount), 1);
  EXPECT_EQ(PreviousPage(1, kPageCount), 2);
  EXPECT_EQ(PreviousPage(2, kPageCount), 1);
  EXPECT_EQ(NextPage(0, kPageCount), 1);
}

TEST(MainWindowLogic, LayoutSkipsNegativeSizes) {
  // Too small, the tab strip and the pages keep their last sizes; the pages
  // follow the tab strip even when only their own size is negative.
  const struct {
    int width, height;
    std::vector<std::optional<int>> sizes;  // tab height and width, page height and width, note top
  } steps[] = {
      {6600, 4410, {3960, 6450, 3375, 6015, 4110}},
      {140, 1000, {550, 6450, 3375, 6015, 700}},
      {500, 0, {550, 350, 3375, 6015, 700}},
  };
  MainLayout layout;
  for (const auto& [width, height, sizes] : steps) {
    LayOutMain(layout, width, height);
    EXPECT_EQ((std::vector{layout.tabHeight, layout.tabWidth, layout.pageHeight, layout.pageWidth, layout.noteTop}),
              sizes)
        << width << " by " << height;
  }

  HelpLayout help;
  LayOutHelp(help, 6015, 3375);
  EXPECT_EQ(help.labelWidth, 4515);
  EXPECT_EQ(help.labelHeight, 3135);
  LayOutHelp(help, 1400, 200);
  EXPECT_EQ(help.labelWidth, 4515);
  EXPECT_EQ(help.labelHeight, 3135);
}

}  // namespace
}  // namespace app::shell
