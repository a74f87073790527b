// The portable helpers at the root of the library: the system message text
// and the walk of trees.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "shared/system_message.h"
#include "shared/tree_walk.h"

namespace tk {
namespace {

TEST(SystemMessageText, IsOneLineWithBlanksFoldedInOnePassAndCodeZeroDependsOnTheVistaFlag) {
  // Line ends become blanks, and a single pass folds four blanks into two.
  EXPECT_EQ(CleanSystemMessage("a b\r\n  c"), "a b  c");
  EXPECT_EQ(ErrorTextOf(5, true, "Access is denied. "), "Access is denied. ");
  EXPECT_EQ(ErrorTextOf(0, true, "ignored"), "Undefined Vista error.");
  EXPECT_EQ(ErrorTextOf(0, false, "ignored"), "Undefined error.");
}

// On the tree a/{b/{d}, c}, parents are entered first and left last, and the
// first failure, entering or leaving, ends the walk. (That no walk recurses,
// the library's deep trees prove on small stacks under Wine.)
TEST(WalkDepthFirst, EntersParentsFirstLeavesThemLastAndStopsAtTheFirstFailure) {
  // The step that fails (row[0]), and the steps taken (row[1]).
  const std::array<std::string, 2> cases[] = {
      {"", "+a+b+d-d-b+c-c-a"}, {"+a", "+a"}, {"+d", "+a+b+d"}, {"-d", "+a+b+d-d"}, {"-a", "+a+b+d-d-b+c-c-a"},
  };
  for (const auto& row : cases) {
    std::string order;
    const bool walked = WalkDepthFirst(
        std::string("a"),
        [&](const std::string& node, std::vector<std::string>& children) {
          order += "+" + node;
          if (node == "a") children = {"b", "c"};
          if (node == "b") children = {"d"};
          return "+" + node != row[0];
        },
        [&](const std::string& node) {
          order += "-" + node;
          return "-" + node != row[0];
        });
    EXPECT_EQ(walked, row[0].empty()) << row[0];
    EXPECT_EQ(order, row[1]) << row[0];
  }
}

}  // namespace
}  // namespace tk
