#include "app/lists/site_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "app/engine/hosts_file.h"
#include "app/lists/page_layout.h"
#include "app/lists/site_names.h"
#include "tests/app/engine/recording_log.h"

namespace app::lists {
namespace {

using Names = std::vector<std::string>;

// Matches the stored value name that is `name` in any letter case.
auto SameSite(const std::string& name) {
  return [key = SiteKey(name)](const std::string& stored) { return SiteKey(stored) == key; };
}

// Site stores in memory, recording every write; a text is its id in brackets
// with its first parameter.
class FakeStores final : public SiteStores {
 public:
  Names hosts;                          // the blocked sites of the hosts file
  Names seen;                           // `hosts` as last read or written
  Names registry;                       // value names in registry order
  std::optional<Failure> applyFailure;  // the next ApplyBlocked fails with it, as the engine's does
  std::optional<Failure> readFailure;   // the next ReadBlocked fails with it
  Names writes;                         // "hosts", "set <n>", "delete <n>", "delete key"

  Names ReadBlocked() override {
    if (readFailure) throw *std::exchange(readFailure, std::nullopt);
    return seen = hosts;
  }
  void ApplyBlocked(const Names& sites) override { ApplyBlockedChanges(sites, {}); }
  std::optional<Names> ApplyBlockedChanges(const Names& sites, const engine::SiteChanges& changes) override {
    writes.push_back("hosts");
    if (applyFailure) {
      LogTwiceAndRaise(*std::exchange(applyFailure, std::nullopt), "MHGR.ApplyBlocked", kCannotApplyTo, "[1671]");
    }
    RequireBlockable(sites);
    const std::optional<Names> merged = hosts != seen ? std::optional(changes.AppliedTo(hosts)) : std::nullopt;
    seen = hosts = merged ? *merged : sites;
    return merged;
  }
  void RequireBlockable(const Names& sites) override { engine::RequireSafeSiteNames(sites); }
  Names ReadUnblocked() override { return registry; }
  // Value names ignore letter case: an existing one keeps its own.
  bool SetUnblocked(const std::string& name) override {
    writes.push_back("set " + name);
    if (std::none_of(registry.begin(), registry.end(), SameSite(name))) registry.push_back(name);
    return true;
  }
  bool DeleteUnblocked(const std::string& name) override {
    writes.push_back("delete " + name);
    return std::erase_if(registry, SameSite(name)) > 0;
  }
  bool DeleteUnblockedKey() override {
    writes.push_back("delete key");
    registry.clear();
    return true;
  }
  std::string Text(int id, const Names& parameters) override {
    return "[" + std::to_string(id) + (parameters.empty() ? "" : " " + parameters[0]) + "]";
  }
};

class SiteListsTest : public app::test::RecordingTest {
 protected:
  // Loads the lists from the fake stores and forgets the loading's writes.
  void Load(Names hosts, Names registry) {
    stores.hosts = std::move(hosts);
    stores.registry = std::move(registry);
    lists.RefreshList();
    stores.writes.clear();
    dialogs.shown.clear();
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

  FakeStores stores;
  int redraws = 0;
  SiteLists lists{stores, [this] { ++redraws; }};
};

// The unblocked list is read trimmed, one of each site, none that is blocked,
// and saved with every name written before any other goes.
TEST_F(SiteListsTest, TheUnblockedListLoadsTrimmedOnceEachOutOfTheBlockedListAndSavesEveryNameFirst) {
  Load({"Ads.example", "b.example"}, {" alpha ", "ALPHA", "ads.EXAMPLE", "c.example"});
  EXPECT_EQ(lists.blocked().Names(), (Names{"Ads.example", "b.example"}));
  EXPECT_EQ(lists.unblocked().Names(), (Names{"alpha", "c.example"}));
  EXPECT_EQ(SelectedNames(lists.blocked()), Names{"Ads.example"});
  EXPECT_EQ(SelectedNames(lists.unblocked()), Names{"alpha"});
  EXPECT_EQ(lists.unblocked().current(), std::optional<std::size_t>(0));

  // An unreadable hosts file leaves the blocked list empty and the other as it was.
  stores.readFailure = Failure(53, "File not found");
  lists.RefreshList();
  EXPECT_TRUE(lists.blocked().empty());
  EXPECT_EQ(lists.unblocked().Names(), (Names{"alpha", "c.example"}));
  EXPECT_EQ(log.entries,
            (std::vector<test::LogEntry>{{53, "File not found", Severity::kError, "ucBlockSite.RefreshList"}}));
  EXPECT_TRUE(dialogs.shown.empty());

  // Saved, every name is written before any other goes: the case variant goes
  // before its name is written again; the rest after.
  Load({"Case", "new"}, {"keep", " padded ", "CASE", "gone"});
  lists.unblocked().Remove({lists.unblocked().Id(2)});  // "gone"
  Select(lists.blocked(), {1, 2}, 1);
  EXPECT_TRUE(lists.Unblock());
  EXPECT_EQ(stores.writes, (Names{"delete CASE", "set keep", "set padded", "set Case", "set new",
                                  "delete  padded ", "delete gone", "hosts"}));
  EXPECT_EQ(stores.registry, (Names{"keep", "padded", "Case", "new"}));
}

// With the first of each list selected, each command saves its lists in its
// order, and keeps what another program wrote to the stores since the load;
// with nothing selected, a command on a selection does nothing. A typed
// address blocks its host, which leaves the unblocked list.
TEST_F(SiteListsTest, EachCommandSavesItsListsInItsOrderKeepingWhatAnotherProgramWrote) {
  const struct {
    const char* command;
    std::function<void(SiteLists&)> run;
    Names writes;
    Names hostsMeanwhile, registryMeanwhile;
    Names hosts, registry;  // the stores, and the lists, afterwards
  } cases[] = {
      {"add", &SiteLists::AddBlocked, {"hosts", "delete B", "delete key"}, {"y"}, {"B"}, {"y", "B"}, {}},
      {"block", &SiteLists::Block, {"set v", "delete b", "hosts"}, {"a", "x"}, {"b", "v"}, {"a", "x", "b"}, {"v"}},
      {"unblock", &SiteLists::Unblock, {"set b", "set v", "set w", "set a", "hosts"}, {"a"}, {"b", "v", "w"}, {},
       {"b", "v", "w", "a"}},
      {"remove", &SiteLists::RemoveUnblocked, {"set w", "delete B"}, {"a"}, {"B", "w"}, {"a"}, {"w"}},
      {"delete", &SiteLists::DeleteBlocked, {"hosts"}, {"X", "a"}, {"b"}, {"X"}, {"b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    Load({"a"}, {"b"});
    stores.hosts = c.hostsMeanwhile;
    stores.registry = c.registryMeanwhile;
    dialogs.inputs = {" https://B/banner "};
    c.run(lists);
    EXPECT_EQ(stores.writes, c.writes);
    EXPECT_EQ(stores.hosts, c.hosts);
    EXPECT_EQ(stores.registry, c.registry);
    EXPECT_EQ(lists.blocked().Names(), c.hosts);
    EXPECT_EQ(lists.unblocked().Names(), c.registry);
    if (c.command == std::string("add")) continue;

    Load({"a"}, {"b"});
    lists.unblocked().ClearSelection();
    lists.blocked().ClearSelection();
    c.run(lists);
    EXPECT_TRUE(stores.writes.empty());  // a confirmation, answered OK, would have written
  }
  EXPECT_FALSE(lists.Block());  // nothing selected after the last row
  EXPECT_FALSE(lists.Unblock());
}

// A reload keeps the selection by name where the names remain. After a move
// the item at the old current position is selected (the page's test moves
// from the middle); past the end, the new last one.
TEST_F(SiteListsTest, TheSelectionFollowsAReloadByNameAndAMoveByPosition) {
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

  Load({}, {"1", "2", "3", "4", "5"});
  Select(lists.unblocked(), {4, 5}, 5);
  EXPECT_TRUE(lists.Block());
  EXPECT_EQ(lists.unblocked().Names(), (Names{"1", "2", "3"}));
  EXPECT_EQ(SelectedNames(lists.unblocked()), Names{"3"});
  EXPECT_TRUE(SelectedNames(lists.blocked()).empty());  // moved items are not selected
}

TEST_F(SiteListsTest, AFailedOrRefusedHostsWriteLosesNoSite) {
  // A failed write gives the registry back the sites it was saved without. It
  // is logged by the engine (pattern M), the list (E) and the command (R), and
  // shown once.
  Load({"a"}, {"b", "c"});
  Select(lists.unblocked(), {1}, 1);
  stores.applyFailure = Failure(70, "Permission denied");
  EXPECT_TRUE(lists.Block());
  EXPECT_EQ(stores.registry, (Names{"c", "b"}));
  EXPECT_EQ(lists.blocked().Names(), Names{"a"});
  EXPECT_EQ(lists.unblocked().Names(), (Names{"c", "b"}));
  EXPECT_EQ(log.entries,
            (std::vector<test::LogEntry>{
                {static_cast<std::int32_t>(0x80040687u), "[1671]", Severity::kInternalError, "MHGR.ApplyBlocked"},
                {70, "Permission denied", Severity::kInternalError, "MHGR.ApplyBlocked"},
                {70, "Permission denied", Severity::kError, "ucBlockSite.UpdateBlockedFile"},
                {static_cast<std::int32_t>(0x80040681u), "[1665]Permission denied", Severity::kError,
                 "ucBlockSite.cmdBlock_Click"},
            }));
  EXPECT_EQ(dialogs.shown, Names{"[1667][1665]Permission denied|48|Hedgerow"});
  // So does a bulk block of a parked site: the registry is saved only after the
  // hosts file, which the next bulk block finds as it was.
  Load({"a"}, {"b", "c"});
  stores.applyFailure = Failure(70, "Permission denied");
  EXPECT_THROW(lists.BlockSites({"b", "d"}), Failure);
  EXPECT_EQ(stores.registry, (Names{"b", "c"}));
  EXPECT_EQ(lists.unblocked().Names(), (Names{"b", "c"}));
  lists.BlockSites({"A", "http://b/x", "b", "http://", "d"});
  EXPECT_EQ(stores.hosts, (Names{"a", "b", "d"}));
  EXPECT_EQ(stores.registry, Names{"c"});
  EXPECT_EQ(lists.unblocked().Names(), Names{"c"});

  // A site the hosts file cannot hold stays unblocked, and nothing is written.
  Load({}, {"bad\r\nname", "good"});
  Select(lists.unblocked(), {1, 2}, 1);
  EXPECT_FALSE(lists.Block());
  EXPECT_EQ(lists.unblocked().Names(), (Names{"bad\r\nname", "good"}));
  EXPECT_TRUE(stores.writes.empty());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].rfind("[1667]The web site name \"bad\\x0D\\x0A", 0), 0u) << dialogs.shown[0];
}

// Only OK acts on a question (each command's table answers OK): a
// confirmation names the sites, the example site is asked about; a cancelled
// input adds nothing.
TEST_F(SiteListsTest, OnlyOkActsOnAQuestionAndAConfirmationNamesTheSites) {
  Load({"x", "y"}, {"A", "B", "C", "D"});
  Select(lists.unblocked(), {1, 2, 3}, 1);
  Select(lists.blocked(), {2}, 2);
  dialogs.buttons = {kResultCancel, kResultCancel, kResultCancel};
  dialogs.inputs = {"[105]"};
  lists.RemoveUnblocked();
  lists.DeleteBlocked();
  lists.AddBlocked();
  lists.AddBlocked();
  EXPECT_EQ(dialogs.shown, (Names{"[107 A, B and C]|49|Hedgerow", "[115 y]|49|Hedgerow", "[104]|Hedgerow|[105]",
                                  "[106]|49|Hedgerow", "[104]|Hedgerow|[105]"}));
  EXPECT_TRUE(stores.writes.empty());
  dialogs.inputs = {"[105]"};
  lists.AddBlocked();
  EXPECT_EQ(stores.hosts, (Names{"x", "y", "[105]"}));
}

TEST(SiteListFindPrefix, FindsTheNextNameFromTheStartInAnyCaseAndWraps) {
  SiteList list;
  for (const char* name : {"alpha.example", "Beta.example", "\xC3\x84rger.example", "bravo.example"}) list.Add(name);
  list.Remove({list.Id(0)});  // the search sees the list as shown
  const std::tuple<const char*, std::size_t, std::optional<std::size_t>> cases[] = {  // prefix, start, found
      {"b", 0, 0},  {"B", 1, 2},   {"b", 3, 0},  {"BR", 0, 2}, {"\xC3\xA4r", 0, 1},
      {"a", 0, {}}, {"beta.example.", 0, {}}, {"", 2, 2},
  };
  for (const auto& [prefix, start, found] : cases) {
    EXPECT_EQ(list.FindPrefix(prefix, start), found) << prefix << " from " << start;
  }
  EXPECT_EQ(SiteList().FindPrefix("a", 0), std::nullopt);
}

TEST(SiteNames, NormalizeKeepsTheHostInItsCaseTypedSitesKeepTheFirstOfEachAndNamesTextCounts) {
  const std::pair<const char*, const char*> cases[] = {  // typed, site
      {"  https://Ads.Example.com/path/x?y  ", "Ads.Example.com"}, {"ads.example.com:8080/", "ads.example.com:8080"},
      {"ftp:\\\\files.example\\dir", "files.example"}, {"http://", ""}, {"/only/a/path", ""}, {"   ", ""},
      {" a b ", "a b"}, {"x// y /z", "y"}, {"\ttab.example", "\ttab.example"},  // only blanks are trimmed
  };
  for (const auto& [typed, site] : cases) {
    EXPECT_EQ(NormalizeSiteName(typed), site) << typed;
    EXPECT_EQ(NormalizeSiteName(NormalizeSiteName(typed)), site) << typed;
  }

  for (const char* typed : {"alpha\r\n\r\n   \r\nALPHA\r\n beta ", "alpha\r\rALPHA\nbeta\r\n"}) {
    EXPECT_EQ(TypedSites(typed), (Names{"alpha", "beta"})) << typed;
  }
  EXPECT_TRUE(TypedSites("").empty());
  EXPECT_EQ(TypedSites("http://\n/p"), (Names{"http://", "/p"}));

  // A confirmation's text lists up to twenty names and counts the rest.
  Names names;
  for (int i = 1; i <= 21; ++i) names.push_back("s" + std::to_string(i));
  EXPECT_EQ(NamesText(names),
            "s1, s2, s3, s4, s5, s6, s7, s8, s9, s10, s11, s12, s13, s14, s15, s16, s17, s18, s19, s20 and 1 more");
  names.pop_back();
  EXPECT_TRUE(NamesText(names).ends_with(", s18, s19 and s20")) << NamesText(names);
}

TEST(PageLayout, ListsShareTheWidthButtonsSitOnTheBottomAndNegativeSizesAreSkipped) {
  PageLayout page = DesignLayout();
  ResizePage(page, 8000, 4000);
  // (8000 - 1335) / 2 = 3332.5 -> 3332
  EXPECT_EQ(page.unblocked, (ui::TwipsRect{0, 270, 3332, 3325}));
  EXPECT_EQ(page.blocked, (ui::TwipsRect{3332 + 105 + 1120 + 105, 270, 3332, 3325}));
  EXPECT_EQ(page.unblock.left, 3437);
  EXPECT_EQ(page.blockedLabel.left, page.blocked.left);
  EXPECT_EQ(page.removeUnblocked, (ui::TwipsRect{15, 3655, 3302, 345}));
  EXPECT_EQ(page.addBlocked, (ui::TwipsRect{page.blocked.left + 15, 3655, 3302, 345}));
  EXPECT_EQ(page.blockedColumn, 3212);
  ResizePage(page, 4336.4, 3000);  // a size between two twips
  EXPECT_EQ(page.unblocked.width, 1500);

  // Too small: the sizes that would be negative keep their last, the rest still runs.
  page = DesignLayout();
  ResizePage(page, 1200, 300);
  EXPECT_EQ(page.unblocked, (ui::TwipsRect{0, 270, 2295, 2175}));  // as designed
  EXPECT_EQ(page.block.left, 2295 + 105);
  EXPECT_EQ(page.removeUnblocked.top, 300 - 345);  // a place may be negative
  ResizePage(page, 1455, 300);  // 60 twips each: the columns cannot be 120 narrower
  EXPECT_EQ(page.unblocked.width, 60);
  EXPECT_EQ(page.unblockedColumn, 2295 - 120);
  EXPECT_EQ(page.removeUnblocked.width, 30);
}

}  // namespace
}  // namespace app::lists
