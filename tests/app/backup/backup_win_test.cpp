#include "app/backup/backup_win.h"

#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include "app/engine/library_win.h"
#include "app/engine/mhgr_win.h"
#include "app/ui/open_file_dialog_win.h"
#include "common/win/text_win.h"
#include "tests/app/engine/files_in_win.h"
#include "tests/app/engine/recording_log.h"
#include "tests/app/unblocked_key_win.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"

namespace app::backup {
namespace {

using namespace app::test;
using namespace hg::test;
using Names = std::vector<std::string>;

// Backup and restore over a hosts file of the test's own and the real
// registry list, which is put back after the test.
class BackupWinTest : public RecordingTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.result()));
    services.hostsFilePath = hg::win::Narrow(hosts);
    services.library = &library_;
    WriteRaw(hosts, "");
  }
  void TearDown() override { SetUnblockedNames(registryBefore_); }

  // Runs a command over the test's backup folder, counting the lists' reloads.
  void Run(void (*command)(BackupEnvironment&)) {
    ProgramBackupEnvironment environment(backups, [this] { ++refreshes; });
    command(environment);
  }

  ComApartment apartment_;
  engine::LibraryObjects library_;
  ScratchFolder folder{L"backup"};
  std::wstring backups = folder / L"Program\\Backup";  // neither it nor its parent exists yet
  std::wstring hosts = folder / L"hosts";
  int refreshes = 0;
  const Names registryBefore_ = UnblockedNames();
};

// Ten thousand blocked and a thousand unblocked sites come back in their
// order. A restore while the hosts file is held so that nothing can take its
// place leaves both lists as they were, but its undo backup is written first;
// no undo backup, made within the same second mostly, replaces another backup.
TEST_F(BackupWinTest, ABackupThenARestoreGivesBackBothLists) {
  Names blocked{"a.com", "B.com"}, unblocked{"c.com", "d.com"};
  for (int i = 0; i < 10'000; ++i) blocked.push_back("b" + std::to_string(i * 7919 % 10'007) + ".com");
  for (int i = 0; i < 1'000; ++i) unblocked.push_back("u" + std::to_string(i * 997 % 1'009) + ".org");
  std::string entries = "# kept\r\n127.0.0.1 localhost\r\n";
  for (const std::string& site : blocked) entries += "127.0.0.1 " + site + "\r\n";
  WriteRaw(hosts, entries);
  SetUnblockedNames(unblocked);
  unblocked = UnblockedNames();  // the order the registry enumerates them in is the list's
  Run(BackupCommand);
  ASSERT_EQ(FilesIn(backups).size(), 1u) << dialogs.shown.back();
  const std::wstring backup = backups + L"\\" + FilesIn(backups)[0];
  dialogs.chosenFile = hg::win::Narrow(backup);
  EXPECT_EQ(ReadRaw(backup), BackupText({blocked, unblocked}) + "\r\n");

  engine::ApplyBlocked({"x.com"});
  SetUnblockedNames({"y.com"});
  {
    const hg::win::unique_file_handle held(
        ::CreateFileW(hosts.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    Run(RestoreCommand);
  }
  EXPECT_EQ(engine::ReadBlockedSites(), Names{"x.com"});
  EXPECT_EQ(UnblockedNames(), Names{"y.com"});
  EXPECT_EQ(FilesIn(backups).size(), 2u);
  Run(RestoreCommand);
  EXPECT_EQ(engine::ReadBlockedSites(), blocked);
  EXPECT_EQ(UnblockedNames(), unblocked);
  EXPECT_EQ(refreshes, 2);  // the partial restore's too
  EXPECT_EQ(FilesIn(backups).size(), 3u);
}

// Written through a temporary file, a backup that fails leaves no file.
TEST_F(BackupWinTest, ABackupThatCannotBeWrittenSays111AndLeavesNoFile) {
  WriteRaw(folder / L"file", "");
  struct Case {
    std::wstring folder;
    Names unblocked;
    std::string reason;
  } const cases[] = {
      {folder / L"file\\Backup", {}, ""},
      // A name the system code page has no character for would come back as another.
      {backups, {"a.org", "\xE4\xB8\xAD.example"}, "The web site name \"\xE4\xB8\xAD.example\" cannot be written"},
      // A restore would read two names.
      {backups, {"a,b.org"}, "The web site name \"a,b.org\" holds a comma"},
  };
  for (const Case& c : cases) {
    backups = c.folder;
    SetUnblockedNames(c.unblocked);
    dialogs.shown.clear();
    Run(BackupCommand);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].rfind("Cannot backup configuration data. " + c.reason, 0), 0u) << dialogs.shown[0];
    EXPECT_TRUE(FilesIn(c.folder).empty());
  }
}

TEST_F(BackupWinTest, TheOpenFileDialogOpensWithTheTitleAndGivesTheFileTyped) {
  const std::wstring chosen = folder / L"chosen.bak";
  WriteRaw(chosen, "x");
  const OpenFileRequest request{"Select Backup File To Restore", {{"Backup Files (*.bak)", "*.bak"}},
                                hg::win::Narrow(folder.path())};
  for (auto show : {ui::ShowOpenFileDialog, ui::ShowClassicOpenFileDialog}) {
    AnswerNextDialog([&](HWND dialog) {
      EXPECT_EQ(WindowText(dialog), L"Select Backup File To Restore");
      // The file name box: cmb13 or edt1, by dialog and system.
      ::SetDlgItemTextW(dialog, cmb13, L"chosen.bak");
      ::SetDlgItemTextW(dialog, edt1, L"chosen.bak");
      PressButton(dialog, IDOK);
    });
    EXPECT_EQ(show(nullptr, request), hg::win::Narrow(chosen));
  }
}

}  // namespace
}  // namespace app::backup
