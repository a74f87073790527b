#include "shared/tree_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// On the tree a/{b/{d}, c}, parents are entered first and left last, and the
// first failure, entering or leaving, ends the walk.
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

TEST(WalkDepthFirst, ReachesADepthNoRecursionWould) {
  int entered = 0;
  int left = 0;
  EXPECT_TRUE(tk::WalkDepthFirst(
      0,
      [&](int depth, std::vector<int>& children) {
        ++entered;
        if (depth < 1'000'000) children.push_back(depth + 1);
        return true;
      },
      [&](int) {
        ++left;
        return true;
      }));
  EXPECT_EQ(entered, 1'000'001);
  EXPECT_EQ(left, 1'000'001);
}

}  // namespace
