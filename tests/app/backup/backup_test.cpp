#include "app/backup/backup.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/engine/failure.h"
#include "tests/app/engine/recording_log.h"

namespace app::backup {
namespace {

using Names = std::vector<std::string>;

// Leniently: any letter case, blanks and empty names between the commas,
// line breaks inside a list; refused without a blocked marker before the
// unblocked one.
TEST(ParseBackupTest, ReadsLenientlyAndRefusesTextsWithoutBothMarkersInOrder) {
  const Configuration written{{"site2.com", "Site1.com", "a.b.com"}, {"Zeta.org", "alpha.net"}};
  struct Case {
    std::string text;
    std::optional<Configuration> parsed;
  } const cases[] = {
      {BackupText(written) + "\r\n", written},
      {"Blocked: a.com ,b.com\nUnblocked: c.com,, d.com ,\n", Configuration{{"a.com", "b.com"}, {"c.com", "d.com"}}},
      {"Blocked: a.\r\ncom\r\nUnblocked: c\r\n.com", Configuration{{"a.com"}, {"c.com"}}},
      {"Blocked: a.com", std::nullopt},
      {"Unblocked: c.com\r\nBlocked: a.com\r\n", std::nullopt},
      {"\xEF\xBB\xBFUnblocked: c\r\nBlocked: a", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    const auto parsed = ParseBackup(c.text);
    EXPECT_EQ(parsed ? BackupText(*parsed) : "refused", c.parsed ? BackupText(*c.parsed) : "refused");
  }
}

TEST(BackupFileNameTest, FollowsTheDatePatternWithTheGivenMonthNames) {
  MonthNames months{"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  EXPECT_EQ(BackupFileName({2026, 12, 5, 6, 0, 9}, months), "Backup Dec 05, 2026 06-00-09.bak");
  EXPECT_EQ(BackupFileName({2026, 1, 31, 16, 20, 33}, months, 2), "Backup Jan 31, 2026 16-20-33 (2).bak");
  months[2] = "m\xC3\xA4r/\\:*?\"<>|\x01.";
  EXPECT_EQ(BackupFileName({2027, 3, 1, 23, 59, 59}, months), "Backup m\xC3\xA4r. 01, 2027 23-59-59.bak");
}

// Records every step in `steps`; `failing` names the step that throws.
class FakeEnvironment final : public BackupEnvironment {
 public:
  Names BlockedSites() override { return Step("read blocked", blocked); }
  Names UnblockedSites() override { return Step("read unblocked", unblocked); }
  void ApplyBlocked(const Names& sites) override { blocked = Step("apply", sites); }
  void ReplaceUnblocked(const Names& sites) override { unblocked = Step("replace", sites); }
  void RefreshLists() noexcept override { steps.push_back("refresh"); }
  std::string WriteBackup(const Configuration& configuration) override {
    backups.push_back(Step("backup", BackupText(configuration)));
    return "C:\\B\\Backup " + std::to_string(backups.size()) + ".bak";
  }
  std::string ReadFile(const std::string& path) override { return Step("read " + path, file); }
  std::string BackupFolder() override { return Step("folder", std::string("C:\\B")); }
  std::string Text(int id, const std::string& parameter) noexcept override {
    return "[" + std::to_string(id) + (parameter.empty() ? "" : " " + parameter) + "] ";
  }

  Names blocked{"old.com", "Old2.com"};
  Names unblocked{"parked.com"};
  std::string file, failing;
  Names steps, backups;

  template <typename T>
  T Step(const std::string& name, T result) {
    steps.push_back(name);
    if (name == failing) throw Failure(0x80070005, "Access is denied.");
    return result;
  }
};

using BackupCommandTest = test::RecordingTest;

// A backup writes both lists and says 108, or is logged and says 111 with the
// reason. A restore makes the undo backup first, then writes the hosts file,
// then the registry. A cancelled dialog ends it silently; a file that is no
// backup, or holds a name the hosts file would not give back, changes nothing
// and says 109; a failing step says 110 and is logged, and the registry list stays.
TEST_F(BackupCommandTest, RestoreBacksUpFirstThenWritesTheHostsFileThenTheRegistryAndEachCommandStopsAtAFailure) {
  const Names upToTheFile{"folder", "read x"};
  const Names upToTheBackup{"folder", "read x", "read blocked", "read unblocked", "backup"};
  Names upToTheHostsFile = upToTheBackup, whole = upToTheBackup;
  upToTheHostsFile.insert(upToTheHostsFile.end(), {"apply", "refresh"});
  whole.insert(whole.end(), {"apply", "replace", "refresh"});
  struct Case {
    bool restore;
    std::optional<std::string> chosen;
    std::string file;
    const char* failing;
    Names steps;
    std::string shown;  // how the one message shown begins; empty: none
  } const cases[] = {
      {false, {}, "", "", {"read blocked", "read unblocked", "backup"}, "[108] |64|Hedgerow"},
      {false, {}, "", "read unblocked", {"read blocked", "read unblocked"}, "[111] Access is denied.|48|Hedgerow"},
      {true, "x", "Blocked: a.com,, b.com\r\nUnblocked: c.com\r\n", "", whole, "[117] |64|Hedgerow"},
      {true, std::nullopt, "", "", {"folder"}, ""},
      {true, "x", "", "", upToTheFile, "[109 x] |48|Hedgerow"},
      {true, "x", "Blocked: localhost\r\nUnblocked: ", "", upToTheFile, "[109 x] The web site name \"localhost\""},
      {true, "x", "Blocked: a.com\r\nUnblocked: c\tom", "", upToTheFile, "[109 x] The web site name \"c\\x09om\""},
      {true, "x", "Blocked: a\r\nUnblocked: ", "backup", upToTheBackup, "[110 x] [111] Access is denied.|48|Hedgerow"},
      {true, "x", "Blocked: a\r\nUnblocked: ", "apply", upToTheHostsFile, "[110 x] Access is denied.|48|Hedgerow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    FakeEnvironment environment;
    environment.file = c.file;
    environment.failing = c.failing;
    dialogs.chosenFile = c.chosen;
    dialogs.shown.clear();
    log.entries.clear();
    EXPECT_NO_THROW(c.restore ? RestoreCommand(environment) : BackupCommand(environment));
    EXPECT_EQ(environment.steps, c.steps);
    ASSERT_EQ(dialogs.shown.size(), c.shown.empty() ? 0u : 1u);
    for (const std::string& shown : dialogs.shown) EXPECT_EQ(shown.rfind(c.shown, 0), 0u) << shown;
    const bool failed = *c.failing != '\0', restored = c.steps == whole;
    EXPECT_EQ(environment.unblocked, restored ? Names{"c.com"} : Names{"parked.com"});
    ASSERT_EQ(log.entries.size(), failed || restored ? 1u : 0u);
    for (const auto& entry : log.entries) {
      EXPECT_EQ(entry.source, c.restore ? "FMain.mnuRestore_Click" : "FMain.mnuBackup_Click");
    }
    if (!restored) continue;
    EXPECT_EQ(environment.backups, Names{"Blocked: old.com, Old2.com\r\nUnblocked: parked.com\r\n"});
    EXPECT_EQ(environment.blocked, (Names{"a.com", "b.com"}));
    EXPECT_NE(log.entries[0].description.find("'C:\\B\\Backup 1.bak'"), std::string::npos);
  }
  EXPECT_EQ(dialogs.openFile.initialFolder, "C:\\B");
}

}  // namespace
}  // namespace app::backup
