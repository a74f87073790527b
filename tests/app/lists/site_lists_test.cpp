#include "app/lists/site_lists.h"

#include <gtest/gtest.h>

#include "app/engine/services.h"
#include "tests/app/engine/recording_log.h"
#include "tests/app/lists/fake_stores.h"

namespace app::lists {
namespace {

using Names = std::vector<std::string>;

class SiteListsTest : public ::testing::Test {
 protected:
  // Loads the lists from the fake stores and forgets the loading's writes.
  void Load(Names hosts, Names registry) {
    stores.hosts = std::move(hosts);
    stores.registry = std::move(registry);
    lists.RefreshList();
    stores.writes.clear();
  }
  // Selects the items at `positions` (from 1) of `list`; `current` (from 1) is current.
  static void Select(SiteList& list, std::vector<std::size_t> positions, std::size_t current) {
    list.ClearSelection();
    for (const std::size_t position : positions) list.Select(position - 1, true);
    list.SetCurrent(current - 1);
  }
  static Names SelectedNames(const SiteList& list) {
    Names names;
    for (const std::size_t position : list.SelectedPositions()) names.push_back(list.Name(position));
    return names;
  }

  app::test::RecordingLog log;
  app::test::RecordingDialogs dialogs;
  Services services{.log = &log, .dialogs = &dialogs, .productName = "Hedgerow"};
  ScopedServices installed{services};
  test::FakeStores stores;
  int redraws = 0;
  SiteLists lists{stores, [this] { ++redraws; }};
};

TEST_F(SiteListsTest, RefreshListTrimsAndKeepsOneOfEachSiteOutOfTheBlockedList) {
  Load({"Ads.example", "b.example"}, {" alpha ", "ALPHA", "ads.EXAMPLE", "c.example"});
  EXPECT_EQ(lists.blocked().Names(), (Names{"Ads.example", "b.example"}));
  EXPECT_EQ(lists.unblocked().Names(), (Names{"alpha", "c.example"}));
  EXPECT_EQ(SelectedNames(lists.blocked()), Names{"Ads.example"});
  EXPECT_EQ(SelectedNames(lists.unblocked()), Names{"alpha"});
  EXPECT_EQ(lists.unblocked().current(), std::optional<std::size_t>(0));
}

TEST_F(SiteListsTest, AnUnreadableHostsFileLeavesTheBlockedListEmptyAndTheOtherAsItWas) {
  Load({"a"}, {"u"});
  stores.readFailure = Failure(53, "File not found");
  lists.RefreshList();
  EXPECT_TRUE(lists.blocked().empty());
  EXPECT_EQ(lists.unblocked().Names(), Names{"u"});
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].source, "ucBlockSite.RefreshList");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SiteListsTest, MovingReselectsByTheOldCurrentPosition) {
  const struct {
    std::vector<std::size_t> selected;
    std::size_t current;
    Names left;
    const char* reselected;
  } cases[] = {
      {{3, 4}, 3, {"1", "2", "5"}, "5"},
      {{4, 5}, 5, {"1", "2", "3"}, "3"},
      {{1}, 1, {"2", "3", "4", "5"}, "2"},
  };
  for (const auto& c : cases) {
    Load({}, {"1", "2", "3", "4", "5"});
    Select(lists.unblocked(), c.selected, c.current);
    EXPECT_TRUE(lists.Block());
    EXPECT_EQ(lists.unblocked().Names(), c.left);
    EXPECT_EQ(SelectedNames(lists.unblocked()), Names{c.reselected});
    EXPECT_TRUE(SelectedNames(lists.blocked()).empty());  // moved items are not selected
    EXPECT_EQ(stores.hosts.size(), c.selected.size());
  }
}

// With the first of each list selected, each command saves its lists in
// its order; with nothing selected, a command on a selection does nothing.
TEST_F(SiteListsTest, EachCommandSavesItsListsInItsOrder) {
  const struct {
    const char* command;
    std::function<void(SiteLists&)> run;
    Names writes;
  } cases[] = {
      {"block", &SiteLists::Block, {"delete b", "delete key", "hosts"}},
      {"unblock", &SiteLists::Unblock, {"set b", "set a", "hosts"}},
      {"remove", &SiteLists::RemoveUnblocked, {"delete b", "delete key"}},
      {"delete", &SiteLists::DeleteBlocked, {"hosts"}},
      {"add", &SiteLists::AddBlocked, {"hosts", "set b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    Load({"a"}, {"b"});
    dialogs.inputs = {"typed.example"};
    c.run(lists);
    EXPECT_EQ(stores.writes, c.writes);
    if (c.command == std::string("add")) continue;
    Load({"a"}, {"b"});
    lists.unblocked().ClearSelection();
    lists.blocked().ClearSelection();
    dialogs.shown.clear();
    c.run(lists);
    EXPECT_TRUE(stores.writes.empty());
    EXPECT_TRUE(dialogs.shown.empty());
  }
  lists.unblocked().ClearSelection();
  lists.blocked().ClearSelection();
  EXPECT_FALSE(lists.Block());
  EXPECT_FALSE(lists.Unblock());
}

TEST_F(SiteListsTest, ACommandKeepsWhatAnotherProgramWroteSinceTheLoad) {
  const struct {
    const char* command;
    std::function<void(SiteLists&)> run;  // a command, its result ignored
    Names hostsMeanwhile, registryMeanwhile;
    Names hosts, registry;  // the stores, and the lists, afterwards
  } cases[] = {
      {"block", &SiteLists::Block, {"a", "x"}, {"u", "v"}, {"a", "x", "u"}, {"v"}},
      {"delete", &SiteLists::DeleteBlocked, {"X", "a"}, {"u", "v"}, {"X"}, {"u", "v"}},
      {"unblock", &SiteLists::Unblock, {"a"}, {"u", "v", "w"}, {}, {"u", "v", "w", "a"}},
      {"remove", &SiteLists::RemoveUnblocked, {"a"}, {"U", "w"}, {"a"}, {"w"}},
      {"add", &SiteLists::AddBlocked, {"y"}, {"typed.example"}, {"y", "typed.example"}, {}},
  };
  for (const auto& c : cases) {
    Load({"a"}, {"u", "v"});
    stores.hosts = c.hostsMeanwhile;
    stores.registry = c.registryMeanwhile;
    dialogs.inputs = {"typed.example"};
    c.run(lists);
    EXPECT_EQ(stores.hosts, c.hosts) << c.command;
    EXPECT_EQ(stores.registry, c.registry) << c.command;
    EXPECT_EQ(lists.blocked().Names(), c.hosts) << c.command;
    EXPECT_EQ(lists.unblocked().Names(), c.registry) << c.command;
  }
}

TEST_F(SiteListsTest, AReloadKeepsTheSelectionByNameWhereTheNamesRemain) {
  Load({"a", "b", "c"}, {"u", "v"});
  Select(lists.blocked(), {2, 3}, 3);
  Select(lists.unblocked(), {2}, 2);
  stores.hosts = {"new", "C", "a"};
  stores.registry = {"w"};
  lists.Reload();
  EXPECT_EQ(SelectedNames(lists.blocked()), Names{"C"});
  EXPECT_EQ(lists.blocked().current(), std::optional<std::size_t>(1));
  EXPECT_EQ(SelectedNames(lists.unblocked()), Names{"w"});  // as a load selects
  EXPECT_EQ(redraws, 2);
}

TEST_F(SiteListsTest, SavingTheUnblockedListWritesEveryNameBeforeAnyOtherGoes) {
  Load({"Case", "new"}, {"keep", " padded ", "CASE", "gone"});
  lists.unblocked().Remove({lists.unblocked().Id(2)});  // "gone"
  Select(lists.blocked(), {1, 2}, 1);
  EXPECT_TRUE(lists.Unblock());
  // The case variant goes before its name is written again; the rest after.
  EXPECT_EQ(stores.writes, (Names{"delete CASE", "set keep", "set padded", "set Case", "set new",
                                  "delete  padded ", "delete gone", "hosts"}));
  EXPECT_EQ(stores.registry, (Names{"keep", "padded", "Case", "new"}));
  EXPECT_TRUE(stores.keyExists);

  lists.unblocked().Clear();
  stores.writes.clear();
  lists.UpdateUnblockedFile();
  EXPECT_EQ(stores.writes, (Names{"delete keep", "delete padded", "delete Case", "delete new",
                                  "delete key"}));
}

TEST_F(SiteListsTest, AFailedHostsWriteGivesTheRegistryBackTheSitesItWasSavedWithout) {
  Load({"a"}, {"b", "c"});
  Select(lists.unblocked(), {1}, 1);
  stores.applyFailure = Failure(70, "Permission denied");
  EXPECT_TRUE(lists.Block());
  EXPECT_EQ(stores.registry, (Names{"c", "b"}));
  EXPECT_EQ(lists.blocked().Names(), Names{"a"});
  EXPECT_EQ(lists.unblocked().Names(), (Names{"c", "b"}));
  EXPECT_EQ(dialogs.shown,
            Names{"Cannot block web site(s). Cannot apply web site blocking. Permission denied|48|"
                  "Hedgerow"});
  ASSERT_EQ(log.entries.size(), 2u);
  EXPECT_EQ(log.entries[0].source, "ucBlockSite.UpdateBlockedFile");
  EXPECT_EQ(log.entries[1].source, "ucBlockSite.cmdBlock_Click");
  EXPECT_EQ(log.entries[1].number, ProgramErrorNumber(kCannotApplyBlocking));
}

TEST_F(SiteListsTest, ASiteTheHostsFileCannotHoldStaysUnblocked) {
  Load({}, {"bad\r\nname", "good"});
  Select(lists.unblocked(), {1, 2}, 1);
  EXPECT_FALSE(lists.Block());
  EXPECT_EQ(lists.unblocked().Names(), (Names{"bad\r\nname", "good"}));
  EXPECT_TRUE(stores.writes.empty());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].rfind("Cannot block web site(s). The web site name \"bad\\x0D\\x0A", 0),
            0u);
}

TEST_F(SiteListsTest, ConfirmationsNameTheSitesAndOnlyOkActs) {
  for (const int answer : {kResultCancel, kResultOk}) {
    Load({"x", "y"}, {"A", "B", "C", "D"});
    Select(lists.unblocked(), {1, 2, 3}, 1);
    Select(lists.blocked(), {2}, 2);
    dialogs.shown.clear();
    dialogs.buttons = {answer, answer};
    lists.RemoveUnblocked();
    lists.DeleteBlocked();
    EXPECT_EQ(dialogs.shown, (Names{"Are you sure you want to delete A, B and C?|49|Hedgerow",
                                    "Are you sure you want to delete y?|49|Hedgerow"}));
    if (answer == kResultOk) {
      EXPECT_EQ(stores.registry, Names{"D"});
      EXPECT_EQ(stores.hosts, Names{"x"});
      EXPECT_EQ(lists.unblocked().Names(), Names{"D"});  // a deleted site is not parked
    } else {
      EXPECT_TRUE(stores.writes.empty());
      EXPECT_EQ(lists.unblocked().size(), 4u);
    }
  }
}

TEST_F(SiteListsTest, AddingATypedSiteBlocksItsHostTakesItOutOfTheUnblockedListAndAsksForTheExample) {
  Load({"Old.example"}, {"ads.example"});
  dialogs.inputs = {"  https://ADS.example/banner  "};
  lists.AddBlocked();
  EXPECT_EQ(dialogs.shown[0], "Type web site name to block.|Hedgerow|www.example.com");
  EXPECT_EQ(stores.hosts, (Names{"Old.example", "ADS.example"}));
  EXPECT_TRUE(stores.registry.empty());

  // In another case it is blocked already: nothing changes, both are saved.
  stores.writes.clear();
  dialogs.inputs = {"old.EXAMPLE"};
  lists.AddBlocked();
  EXPECT_EQ(stores.hosts, (Names{"Old.example", "ADS.example"}));
  EXPECT_EQ(stores.writes, (Names{"hosts", "delete key"}));

  // Only a scheme, or Cancel: nothing at all.
  stores.writes.clear();
  dialogs.inputs = {"http://", std::nullopt};
  lists.AddBlocked();
  lists.AddBlocked();
  EXPECT_TRUE(stores.writes.empty());

  // The example site only when confirmed.
  for (const int answer : {kResultCancel, kResultOk}) {
    dialogs.shown.clear();
    dialogs.inputs = {"WWW.EXAMPLE.COM"};
    dialogs.buttons = {answer};
    lists.AddBlocked();
    EXPECT_EQ(dialogs.shown.at(1), "www.example.com is an example. Block www.example.com?|49|Hedgerow");
    EXPECT_EQ(stores.hosts.size(), answer == kResultOk ? 3u : 2u);
  }
}

TEST_F(SiteListsTest, BulkBlockNormalisesAndSkipsWhatIsBlocked) {
  Load({"a.example"}, {"b.example", "c.example"});
  lists.BlockSites({"A.EXAMPLE", "http://b.example/x", "b.example", "http://", "d.example"});
  EXPECT_EQ(stores.hosts, (Names{"a.example", "b.example", "d.example"}));
  EXPECT_EQ(stores.registry, Names{"c.example"});
  EXPECT_EQ(lists.unblocked().Names(), Names{"c.example"});
}

}  // namespace
}  // namespace app::lists
