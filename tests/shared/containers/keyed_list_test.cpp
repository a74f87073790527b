#include "shared/containers/keyed_list.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/shared/containers/test_helpers.h"

namespace tk {
namespace {

using test::Calls;

std::vector<int> Values(const KeyedList<int>& list) {
  std::vector<int> values;
  list.ForEach([&](int v) { values.push_back(v); });
  return values;
}

// Keys compare without letter case; Before and After place by number or by key.
TEST(KeyedList, AddsWhereAskedFindsByNumberOrKeyAndRemoveFreesTheKey) {
  KeyedList<int> list;
  const std::string b = "Site", a = "a";
  list.Add(1);
  list.Add(3, &b);
  const Position beforeB{std::string("SITE")}, afterThird{std::int64_t{3}}, beforeFirst{std::int64_t{1}};
  list.Add(2, nullptr, &beforeB);
  list.Add(4, &a, nullptr, &afterThird);
  list.Add(0, nullptr, &beforeFirst);
  EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(list.Contains("SITE"));
  EXPECT_EQ(list.Item(Position{std::string("sItE")}), 3);
  EXPECT_EQ(list.Item(Position{std::int64_t{5}}), 4);

  list.Remove(Position{std::string("A")});
  EXPECT_FALSE(list.Contains("a"));
  list.Add(5, &a);
  EXPECT_EQ(list.Item(Position{std::string("a")}), 5);
  list.Remove(Position{std::int64_t{4}});
  EXPECT_FALSE(list.Contains("site"));
  EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 5}));
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_FALSE(list.Contains("a"));
}

TEST(KeyedList, FaultsAreDistinctAndLeaveTheListAlone) {
  KeyedList<int> list;
  const std::string key = "k", otherCase = "K";
  list.Add(1, &key);
  const Position one{std::int64_t{1}}, missing{std::string("none")};
  const struct {
    const char* name;
    std::function<void()> call;
    CollectionFault expected;
  } rows[] = {
      {"a key again in another case", [&] { list.Add(2, &otherCase); }, CollectionFault::DuplicateKey},
      {"both before and after", [&] { list.Add(2, nullptr, &one, &one); }, CollectionFault::BeforeAndAfter},
      {"index 0", [&] { list.Item(Position{std::int64_t{0}}); }, CollectionFault::IndexOutOfRange},
      {"index past the last", [&] { list.Item(Position{std::int64_t{2}}); }, CollectionFault::IndexOutOfRange},
      {"remove a missing key", [&] { list.Remove(missing); }, CollectionFault::KeyNotFound},
      {"before a missing key", [&] { list.Add(2, nullptr, &missing); }, CollectionFault::KeyNotFound},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(test::FaultOf<CollectionError>(row.call), row.expected) << row.name;
    EXPECT_EQ(Values(list), (std::vector<int>{1})) << row.name;
  }
}

TEST(KeyedList, AValueGoingAwayFindsTheListWhole) {
  KeyedList<std::unique_ptr<Calls>> list;
  std::vector<std::string> seen;
  const auto look = [&] {
    std::string state = std::to_string(list.Count());
    if (list.Count() > 0) state += list.Item(Position{std::int64_t{1}}) ? " first" : " null";
    if (list.Contains("k")) state += list.Item(Position{std::string("k")}) ? " k" : " k null";
    seen.push_back(state);
  };
  const auto add = [&](const char* key) {
    const std::string text = key;
    auto value = std::make_unique<Calls>();
    value->onDestroy = look;
    list.Add(std::move(value), *key ? &text : nullptr);
  };

  add("");
  add("k");
  list.Remove(Position{std::int64_t{1}});
  list.Clear();
  add("k");
  add("");
  list = KeyedList<std::unique_ptr<Calls>>();
  EXPECT_EQ(seen, (std::vector<std::string>{"1 first k", "0", "0", "0"}));
}

}  // namespace
}  // namespace tk
