#include "app/backup/backup.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/engine/failure.h"
#include "app/engine/user_dialogs.h"
#include "tests/app/engine/recording_log.h"

namespace app::backup {
namespace {

using Names = std::vector<std::string>;

TEST(BackupTextTest, WritesTwoLinesWithTheirMarkersAndReadsBackWhatItWrote) {
  EXPECT_EQ(BackupText({}), "Blocked: \r\nUnblocked: \r\n");
  Configuration configuration;
  for (int i = 0; i < 300; ++i) configuration.blocked.push_back("site" + std::to_string(i) + ".com");
  configuration.unblocked = {"Zeta.org", "alpha.net"};
  const std::string text = BackupText(configuration);
  EXPECT_EQ(text.substr(0, 29), "Blocked: site0.com, site1.com");
  EXPECT_NE(text.find("site299.com\r\nUnblocked: Zeta.org, alpha.net\r\n"), std::string::npos);
  const auto parsed = ParseBackup(text + "\r\n");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->blocked, configuration.blocked);
  EXPECT_EQ(parsed->unblocked, configuration.unblocked);
}

// Leniently: any letter case, blanks and empty names between the commas,
// line breaks inside a list; refused without a blocked marker before the
// unblocked one.
TEST(ParseBackupTest, ReadsLenientlyAndRefusesTextsWithoutBothMarkersInOrder) {
  struct Case {
    std::string text;
    std::optional<Configuration> parsed;
  } const cases[] = {
      {"Blocked: \r\nUnblocked: \r\n\r\n", Configuration{}},
      {"BLOCKED: a.com, b.com\r\nUNBLOCKED: c.com\r\n", Configuration{{"a.com", "b.com"}, {"c.com"}}},
      {"Blocked: a.com ,b.com\nUnblocked: c.com,, d.com ,\n",
       Configuration{{"a.com", "b.com"}, {"c.com", "d.com"}}},
      {"Blocked: a.com,, b.com\r\nUnblocked: ", Configuration{{"a.com", "b.com"}, {}}},
      {"Blocked: xblocked:y.com\r\nUnblocked: ", Configuration{{"xy.com"}, {}}},
      {"Blocked: a.\r\ncom\r\nUnblocked: c\r\n.com", Configuration{{"a.com"}, {"c.com"}}},
      {"Blocked: caf\xC3\xA9.com\r\nUnblocked: \xC3\x89t\xC3\xA9.com",
       Configuration{{"caf\xC3\xA9.com"}, {"\xC3\x89t\xC3\xA9.com"}}},
      {"", std::nullopt},
      {"a.com, b.com", std::nullopt},
      {"Blocked: a.com", std::nullopt},
      {"Unblocked: a.com", std::nullopt},
      {"Unblocked: c.com\r\nBlocked: a.com\r\n", std::nullopt},
      {"  Unblocked: c\r\nBlocked: a", std::nullopt},
      {"\xEF\xBB\xBFUnblocked: c\r\nBlocked: a", std::nullopt},
      {std::string("\0\x01\x02\xFF", 4), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto parsed = ParseBackup(c.text);
    ASSERT_EQ(parsed.has_value(), c.parsed.has_value());
    if (!parsed) continue;
    EXPECT_EQ(parsed->blocked, c.parsed->blocked);
    EXPECT_EQ(parsed->unblocked, c.parsed->unblocked);
  }
}

TEST(BackupFileNameTest, FollowsTheDatePatternWithTheGivenMonthNames) {
  MonthNames months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  EXPECT_EQ(BackupFileName({2026, 12, 5, 16, 20, 33}, months), "Backup Dec 05, 2026 16-20-33.bak");
  EXPECT_EQ(BackupFileName({2026, 12, 5, 16, 20, 33}, months, 2), "Backup Dec 05, 2026 16-20-33 (2).bak");
  EXPECT_EQ(BackupFileName({987, 1, 31, 0, 0, 9}, months), "Backup Jan 31, 0987 00-00-09.bak");
  months[2] = "m\xC3\xA4r/\\:*?\"<>|\x01.";
  EXPECT_EQ(BackupFileName({2027, 3, 1, 23, 59, 59}, months), "Backup m\xC3\xA4r. 01, 2027 23-59-59.bak");
}

// Records every step in `steps`; `failing` names the step that throws.
class FakeEnvironment final : public BackupEnvironment {
 public:
  std::vector<std::string> BlockedSites() override { return Step("read blocked", blocked); }
  std::vector<std::string> UnblockedSites() override { return Step("read unblocked", unblocked); }
  void ApplyBlocked(const Names& sites) override { blocked = Step("apply", sites); }
  void ReplaceUnblocked(const Names& sites) override { unblocked = Step("replace", sites); }
  void RefreshLists() noexcept override { steps.push_back("refresh"); }
  std::string WriteBackup(const Configuration& configuration) override {
    Step("backup", 0);
    backups.push_back(BackupText(configuration));
    return "C:\\B\\Backup " + std::to_string(backups.size()) + ".bak";
  }
  std::string ReadFile(const std::string& path) override { return Step("read " + path, file); }
  std::string BackupFolder() override { return Step("folder", std::string("C:\\B")); }
  std::string Text(int id, const std::string& parameter) noexcept override {
    return "[" + std::to_string(id) + (parameter.empty() ? "" : " " + parameter) + "] ";
  }

  Names blocked{"old.com"};
  Names unblocked{"parked.com"};
  std::string file = "Blocked: a.com,, b.com\r\nUnblocked: c.com\r\n";
  std::string failing;
  std::vector<std::string> steps;
  std::vector<std::string> backups;

 private:
  template <typename T>
  T Step(const std::string& name, T result) {
    steps.push_back(name);
    if (name == failing) throw Failure(0x80070005, "Access is denied.");
    return result;
  }
};

class BackupCommandTest : public test::RecordingTest {
 protected:
  BackupCommandTest() { dialogs.chosenFile = "C:\\x.bak"; }
  FakeEnvironment environment;
};

TEST_F(BackupCommandTest, ABackupWritesBothListsAndSays108OrIsLoggedAndSays111WithTheReason) {
  BackupCommand(environment);
  EXPECT_EQ(environment.backups, Names{"Blocked: old.com\r\nUnblocked: parked.com\r\n"});
  EXPECT_EQ(dialogs.shown, Names{"[108] |64|Hedgerow"});
  EXPECT_TRUE(log.entries.empty());
  for (const char* failing : {"read blocked", "read unblocked", "backup"}) {
    environment.failing = failing;
    std::string reason;
    EXPECT_FALSE(BackupConfiguration(environment, reason));
    EXPECT_EQ(reason, "Access is denied.");
    BackupCommand(environment);
  }
  EXPECT_EQ(dialogs.shown.back(), "[111] Access is denied.|48|Hedgerow");
  ASSERT_EQ(log.entries.size(), 6u);
  EXPECT_EQ(log.entries[0].severity, Severity::kInternalError);
  EXPECT_EQ(log.entries[0].source, "FMain.mnuBackup_Click");
}

TEST_F(BackupCommandTest, RestoreBacksUpFirstThenWritesTheHostsFileThenTheRegistry) {
  RestoreCommand(environment);
  EXPECT_EQ(environment.steps, (Names{"folder", "read C:\\x.bak", "read blocked", "read unblocked",
                                      "backup", "apply", "replace", "refresh"}));
  EXPECT_EQ(environment.backups, Names{"Blocked: old.com\r\nUnblocked: parked.com\r\n"});
  EXPECT_EQ(environment.blocked, (Names{"a.com", "b.com"}));
  EXPECT_EQ(environment.unblocked, Names{"c.com"});
  EXPECT_EQ(dialogs.shown, Names{"[117] |64|Hedgerow"});
  EXPECT_EQ(dialogs.openFile.title, "Select Backup File To Restore");
  EXPECT_EQ(dialogs.openFile.filters,
            (std::vector<std::pair<std::string, std::string>>{{"Backup Files (*.bak)", "*.bak"},
                                                             {"All Files", "*.*"}}));
  EXPECT_EQ(dialogs.openFile.initialFolder, "C:\\B");
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].severity, Severity::kInformational);
  EXPECT_NE(log.entries[0].description.find("'C:\\B\\Backup 1.bak'"), std::string::npos);
}

TEST_F(BackupCommandTest, RestoreOfAFileThatIsNoBackupChangesNothingAndSays109) {
  struct Case {
    const char* file;
    const char* message;
  } const cases[] = {
      {"", "[109 C:\\x.bak] |48|Hedgerow"},
      {"Unblocked: a.com", "[109 C:\\x.bak] |48|Hedgerow"},
      {"Blocked: localhost\r\nUnblocked: ",
       "[109 C:\\x.bak] The web site name \"localhost\" cannot be blocked: its entry would not be read "
       "back as one.|48|Hedgerow"},
      {"Blocked: a.com\r\nUnblocked: c\tom",
       "[109 C:\\x.bak] The web site name \"c\\x09om\" holds a control character and cannot be "
       "blocked.|48|Hedgerow"},
  };
  for (const Case& c : cases) {
    environment.file = c.file;
    environment.steps.clear();
    dialogs.shown.clear();
    RestoreCommand(environment);
    EXPECT_EQ(environment.steps, (Names{"folder", "read C:\\x.bak"})) << c.file;
    EXPECT_EQ(dialogs.shown, Names{c.message});
  }
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(BackupCommandTest, AFailedRestoreSays110AndStopsAtTheFailingStep) {
  struct Case {
    const char* failing;
    const char* lastStep;
    const char* message;
  } const cases[] = {
      {"read C:\\x.bak", "read C:\\x.bak",
       "[110 C:\\x.bak] Access is denied.|48|Hedgerow"},
      {"backup", "backup", "[110 C:\\x.bak] [111] Access is denied.|48|Hedgerow"},
      {"apply", "refresh", "[110 C:\\x.bak] Access is denied.|48|Hedgerow"},
  };
  for (const Case& c : cases) {
    environment.failing = c.failing;
    environment.steps.clear();
    dialogs.shown.clear();
    log.entries.clear();
    RestoreCommand(environment);
    EXPECT_EQ(environment.steps.back(), c.lastStep);
    EXPECT_EQ(environment.unblocked, Names{"parked.com"});
    EXPECT_EQ(dialogs.shown, Names{c.message});
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].source, "FMain.mnuRestore_Click");
    EXPECT_EQ(log.entries[0].severity, Severity::kError);
  }
}

TEST_F(BackupCommandTest, CancellingTheDialogEndsTheRestoreSilently) {
  dialogs.chosenFile = std::nullopt;
  RestoreCommand(environment);
  EXPECT_EQ(environment.steps, Names{"folder"});
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(log.entries.empty());
}

}  // namespace
}  // namespace app::backup
