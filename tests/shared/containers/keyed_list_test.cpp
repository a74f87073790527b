#include "shared/containers/keyed_list.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tk {
namespace {

std::vector<int> Values(const KeyedList<int>& list) {
  std::vector<int> values;
  list.ForEach([&](int v) { values.push_back(v); });
  return values;
}

CollectionFault FaultOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const CollectionError& e) {
    return e.fault();
  }
  ADD_FAILURE() << "no CollectionError";
  return CollectionFault::BeforeAndAfter;
}

TEST(KeyedList, KeysCompareWithoutLetterCaseAndADuplicateAddsNothing) {
  KeyedList<int> list;
  const std::string upper = "Site", lower = "site";
  list.Add(7, &upper);
  EXPECT_TRUE(list.Contains("SITE"));
  EXPECT_EQ(list.Item(Position{std::string("sItE")}), 7);
  EXPECT_EQ(list.Item(Position{std::int64_t{1}}), 7);
  EXPECT_EQ(FaultOf([&] { list.Add(2, &lower); }), CollectionFault::DuplicateKey);
  EXPECT_EQ(Values(list), std::vector<int>{7});
}

TEST(KeyedList, BeforeAndAfterPlaceByNumberOrKey) {
  KeyedList<int> list;
  const std::string b = "b";
  list.Add(1);
  list.Add(3, &b);
  const Position beforeB{std::string("B")};
  list.Add(2, nullptr, &beforeB);
  const Position afterThird{std::int64_t{3}};
  list.Add(4, nullptr, nullptr, &afterThird);
  const Position beforeFirst{std::int64_t{1}};
  list.Add(0, nullptr, &beforeFirst);
  EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(list.Item(Position{std::string("b")}), 3);
}

TEST(KeyedList, FaultsAreDistinctAndLeaveTheListAlone) {
  KeyedList<int> list;
  list.Add(1);
  const Position one{std::int64_t{1}};
  EXPECT_EQ(FaultOf([&] { list.Add(2, nullptr, &one, &one); }), CollectionFault::BeforeAndAfter);
  EXPECT_EQ(FaultOf([&] { list.Item(Position{std::int64_t{0}}); }),
            CollectionFault::IndexOutOfRange);
  EXPECT_EQ(FaultOf([&] { list.Item(Position{std::int64_t{2}}); }),
            CollectionFault::IndexOutOfRange);
  EXPECT_EQ(FaultOf([&] { list.Remove(Position{std::string("none")}); }),
            CollectionFault::KeyNotFound);
  const Position missing{std::string("none")};
  EXPECT_EQ(FaultOf([&] { list.Add(2, nullptr, &missing); }), CollectionFault::KeyNotFound);
  EXPECT_EQ(Values(list), (std::vector<int>{1}));
}

TEST(KeyedList, RemoveFreesTheKeyForReuse) {
  KeyedList<int> list;
  const std::string a = "a", b = "b";
  list.Add(1, &a);
  list.Add(2, &b);
  list.Remove(Position{std::string("A")});
  EXPECT_FALSE(list.Contains("a"));
  EXPECT_EQ(list.Item(Position{std::int64_t{1}}), 2);
  list.Add(3, &a);
  EXPECT_EQ(Values(list), (std::vector<int>{2, 3}));
  list.Remove(Position{std::int64_t{1}});
  EXPECT_FALSE(list.Contains("b"));
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_FALSE(list.Contains("a"));
}

// A value whose destruction runs code, as an object's last release does.
struct Calls {
  std::function<void()> onDestroy;
  ~Calls() {
    if (onDestroy) onDestroy();
  }
};

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
