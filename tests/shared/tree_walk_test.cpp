#include "shared/tree_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

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
    const bool walked = tk::WalkDepthFirst(
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
