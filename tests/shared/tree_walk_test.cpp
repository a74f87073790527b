#include "shared/tree_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The tree a/{b/{d}, c}: each node's children by name.
std::vector<std::string> ChildrenOf(const std::string& node) {
  if (node == "a") return {"b", "c"};
  if (node == "b") return {"d"};
  return {};
}

TEST(WalkDepthFirst, EntersParentsFirstAndLeavesThemLast) {
  std::string order;
  EXPECT_TRUE(tk::WalkDepthFirst(
      std::string("a"),
      [&](const std::string& node, std::vector<std::string>& children) {
        order += "+" + node;
        children = ChildrenOf(node);
        return true;
      },
      [&](const std::string& node) {
        order += "-" + node;
        return true;
      }));
  EXPECT_EQ(order, "+a+b+d-d-b+c-c-a");
}

TEST(WalkDepthFirst, StopsAtTheFirstFailure) {
  for (const char* failing : {"+d", "-d"}) {
    std::string order;
    EXPECT_FALSE(tk::WalkDepthFirst(
        std::string("a"),
        [&](const std::string& node, std::vector<std::string>& children) {
          order += "+" + node;
          children = ChildrenOf(node);
          return "+" + node != failing;
        },
        [&](const std::string& node) {
          order += "-" + node;
          return "-" + node != failing;
        }));
    EXPECT_TRUE(order.ends_with(failing)) << order;
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
