// The portable helpers at the root of the library: the system message text
// and the walk of trees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/system_message.h"
#include "shared/tree_walk.h"

namespace tk {
namespace {

TEST(SystemMessageText, IsOneLineWithBlanksFoldedInOnePassAndCodeZeroDependsOnTheVistaFlag) {
  EXPECT_EQ(CleanSystemMessage("Access is denied.\r\n"), "Access is denied. ");
  // A single pass: four blanks become two.
  EXPECT_EQ(CleanSystemMessage("a    b"), "a  b");
  EXPECT_EQ(ErrorTextOf(5, true, "Access is denied. "), "Access is denied. ");
  EXPECT_EQ(ErrorTextOf(0, true, "ignored"), "Undefined Vista error.");
  EXPECT_EQ(ErrorTextOf(0, false, "ignored"), "Undefined error.");
}

// On the tree a/{b/{d}, c}, parents are entered first and left last, and the
// first failure, entering or leaving, ends the walk. (That no walk recurses,
// the library's deep trees prove on small stacks under Wine.)
TEST(WalkDepthFirst, EntersParentsFirstLeavesThemLastAndStopsAtTheFirstFailure) {
  const struct {
    const char* failing;
    const char* order;
  } cases[] = {
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
          return "+" + node != row.failing;
        },
        [&](const std::string& node) {
          order += "-" + node;
          return "-" + node != row.failing;
        });
    EXPECT_EQ(walked, *row.failing == '\0') << row.failing;
    EXPECT_EQ(order, row.order) << row.failing;
  }
}

}  // namespace
}  // namespace tk
