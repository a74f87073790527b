#include "app/engine/site_changes.h"

#include <gtest/gtest.h>

namespace app::engine {
namespace {

using Names = std::vector<std::string>;

TEST(SiteChanges, AreMadeToTheListAnotherProgramLeft) {
  const struct {
    const char* what;
    Names operations;  // "+site" added, "-site" removed, in order
    Names current;
    Names expected;
  } cases[] = {
      {"added by both, in another case", {"+b.example"}, {"a", "B.example"}, {"a", "B.example"}},
      {"removed here, another case there", {"-a"}, {"A", "c"}, {"c"}},
      {"removed there, added here", {"+x"}, {"a"}, {"a", "x"}},
      {"removed by both", {"-a"}, {"b"}, {"b"}},
      {"added then removed here", {"+a", "-A"}, {"a", "b"}, {"b"}},
      {"removed then added here", {"-a", "+A"}, {"b"}, {"b", "A"}},
      {"added twice here", {"+d", "+D"}, {}, {"d"}},
      {"added in their order", {"+z", "+y"}, {"m"}, {"m", "z", "y"}},
      {"non-ASCII letter case", {"-CAF\xC3\x89"}, {"caf\xC3\xA9", "k"}, {"k"}},
  };
  for (const auto& c : cases) {
    SiteChanges changes;
    for (const std::string& operation : c.operations) {
      if (operation[0] == '+') {
        changes.Add(operation.substr(1));
      } else {
        changes.Remove(operation.substr(1));
      }
    }
    EXPECT_EQ(changes.AppliedTo(c.current), c.expected) << c.what;
  }
}

TEST(ListHash, IgnoresTheOrderButNotTheNames) {
  EXPECT_EQ(ListHash({"a", "b"}), ListHash({"b", "a"}));
  EXPECT_NE(ListHash({"a", "b"}), ListHash({"a", "B"}));
  EXPECT_NE(ListHash({"a"}), ListHash({"a", "a"}));
  EXPECT_NE(ListHash({}), ListHash({""}));
}

}  // namespace
}  // namespace app::engine
