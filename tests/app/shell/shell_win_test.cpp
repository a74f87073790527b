// The shell under Wine: the main window's icon and start-up's system side in
// the test's process; the real Hedgerow.exe, its sessions and stops, started
// in the test prefix as a user starts it.
#include <windows.h>
#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/engine/services.h"
#include "app/protection/password.h"
#include "app/protection/settings_store_win.h"
#include "app/resource.h"
#include "app/shell/main_window.h"
#include "app/shell/main_window_win.h"
#include "app/shell/startup_win.h"
#include "app/shell/vista_win.h"
#include "common/win/text_win.h"
#include "tests/app/unblocked_key_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/running_program_win.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"

namespace app::shell {
namespace {

using namespace hg::test;

// Made here: under Wine another process cannot read a window's icon.
TEST(MainWindow, CarriesTheProgramsIcon) {
  Services services;
  const ScopedServices installed{services};
  MainWindow window{services};
  window.Create();
  EXPECT_NE(::GetClassLongPtrW(window.handle(), GCLP_HICON), 0);
}

// A custom component may hand back another log writer for ours, but no other
// object: here a collection, put by reference in the place of ours.
TEST(StartupWin, ACustomComponentMayHandBackNothingButALogWriter) {
  ComApartment com;
  ProgramLog log;
  log.Open({}, {});
  _axLog* const ours = log.writer();
  const auto collection = Create<IUnknown>(CLSID_CCollection, IID_IUnknown);
  std::vector<std::wstring> calls;
  RecordingSink component(IID_IDispatch, L"Init", calls);
  component.onEvent = [&](DISPPARAMS& parameters) {
    ::VariantClear(parameters.rgvarg[0].pvarVal);
    Object(collection.get()).Detach(parameters.rgvarg[0].pvarVal);
  };
  log.OfferTo(component);
  EXPECT_EQ(calls.size(), 1u);
  EXPECT_EQ(log.writer(), ours);
}

TEST(StartupWin, TheAccessCheckPassesAndKeepsTheAttributesOfAFileHeldOpenAndFailsAMissingOne) {
  const ScratchFolder folder(L"access check");
  const std::wstring path = folder / L"hosts";
  ProgramLog log;
  SystemStartup system(log, {});
  WriteRaw(path, "");
  const auto held = Locked(path);
  const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), kept));
  // Read-only, hidden and held open without sharing: the check still passes.
  EXPECT_NO_THROW(system.RewriteAttributes(hg::win::Narrow(path)));
  EXPECT_EQ(::GetFileAttributesW(path.c_str()) & kept, kept);
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  // A missing file fails the check and is not made.
  EXPECT_ANY_THROW(system.RewriteAttributes(hg::win::Narrow(folder / L"missing")));
  EXPECT_FALSE(Exists(folder / L"missing"));
}

std::vector<BYTE> BuiltinGroup(WELL_KNOWN_SID_TYPE group) {
  std::vector<BYTE> sid(SECURITY_MAX_SID_SIZE);
  DWORD size = SECURITY_MAX_SID_SIZE;
  EXPECT_TRUE(::CreateWellKnownSid(group, nullptr, sid.data(), &size));
  return sid;
}

TEST(VistaWin, EveryGroupOfALargeTokenIsExamined) {
  std::vector<BYTE> users = BuiltinGroup(WinBuiltinUsersSid);
  std::vector<BYTE> admins = BuiltinGroup(WinBuiltinAdministratorsSid);
  constexpr DWORD kCount = 40;
  std::vector<std::uint64_t> buffer((sizeof(TOKEN_GROUPS) + kCount * sizeof(SID_AND_ATTRIBUTES)) / 8 + 1);
  auto& groups = *reinterpret_cast<TOKEN_GROUPS*>(buffer.data());
  groups.GroupCount = kCount;
  for (DWORD i = 0; i < kCount; ++i) groups.Groups[i] = {users.data(), SE_GROUP_ENABLED};
  EXPECT_FALSE(GroupsContain(groups, admins.data()));
  // Far past the first 21 entries, and present only for denying access.
  groups.Groups[kCount - 1] = {admins.data(), SE_GROUP_USE_FOR_DENY_ONLY};
  EXPECT_TRUE(GroupsContain(groups, admins.data()));
}

// The launcher's test starts the program from the short path of a folder that exists.
TEST(VistaWin, AMissingFolderHasNoShortPathAndTheRestartedMarkIsTakenOnce) {
  EXPECT_EQ(ShortPathName(L"C:\\no such folder"), L"");
  ASSERT_TRUE(::SetEnvironmentVariableW(L"HEDGEROW_RESTARTED", L"1"));
  EXPECT_TRUE(TakeRestartedMark());
  EXPECT_FALSE(TakeRestartedMark());
  ::SetEnvironmentVariableW(L"HEDGEROW_RESTARTED", L"0");
  EXPECT_FALSE(TakeRestartedMark());
}

std::wstring Program() { return ProgramFolder() + L"\\Hedgerow.exe"; }

std::wstring ShortLog() { return Environment(L"LOCALAPPDATA") + L"\\Hedgerow\\short.log"; }

bool WaitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// Clicks the splash away, as a user does, once it shows its picture whole; the main window then.
HWND MainWindowOf(const RunningProgram& program) {
  const HWND splash = program.WaitForWindow(L"HedgerowSplash");
  if (!splash) return nullptr;
  RECT client{};
  ::GetClientRect(splash, &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 316);
  ::PostMessageW(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  ::PostMessageW(splash, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  const HWND main = program.WaitForWindow(L"HedgerowMainWindow");
  EXPECT_FALSE(::IsWindow(splash));
  return main;
}

// Presses and releases `key` with the modifiers held, through the system's input.
void PressKeys(std::initializer_list<BYTE> held, BYTE key) {
  for (const BYTE vk : held) ::keybd_event(vk, 0, 0, 0);
  ::keybd_event(key, 0, 0, 0);
  ::keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
  for (auto it = held.end(); it != held.begin();) ::keybd_event(*--it, 0, KEYEVENTF_KEYUP, 0);
}

std::string Entry(const std::string& site) { return "127.0.0.1       " + site + "\r\n"; }

// Another program adds a block entry while the lists are open: noticed, the
// list shows it at once; not noticed (the watch switched off), the next
// command finds it, or F5. Either way blocking another site keeps it. Each run
// is also a user's session by the keyboard: the pages, the About box, File Exit.
TEST(Program, BlockingKeepsTheEntriesAnotherProgramAddedMeanwhile) {
  const ScratchFolder windows(L"outside edits");
  std::filesystem::create_directories(std::filesystem::path(windows.path()) / "system32/drivers/etc");
  const std::wstring hosts = windows / L"system32\\drivers\\etc\\hosts";
  const std::wstring noWatch = hg::win::Widen(kNoHostsWatchVariable) + L"=";
  const struct {
    const char* what;
    bool watching;
    bool replacing;  // the other program writes a new file and moves it into place, or writes the file itself
  } cases[] = {{"rewritten", true, false}, {"replaced", true, true}, {"not watching", false, false}};
  for (const auto& [what, watching, replacing] : cases) {
    SCOPED_TRACE(what);
    WriteRaw(hosts, "# kept\r\n" + Entry("first.example"));
    test::SetUnblockedNames({"later.example"});
    ::DeleteFileW(ShortLog().c_str());
    RunningProgram program(Program(), {L"windir=" + windows.path(), noWatch + (watching ? L"" : L"1")});
    const HWND main = MainWindowOf(program);
    ASSERT_NE(main, nullptr);
    const HWND page = FindChild(main, L"#32770");
    const auto shown = [&] { return ::SendMessageW(::GetDlgItem(page, IDC_BLOCKED), LVM_GETITEMCOUNT, 0, 0); };
    ASSERT_EQ(shown(), 1);

    const std::string added = "127.0.0.1 outside.example\r\n";
    WriteRaw(replacing ? hosts + L".new" : hosts, "# kept\r\n" + Entry("first.example") + added);
    if (replacing) {
      ASSERT_TRUE(::MoveFileExW((hosts + L".new").c_str(), hosts.c_str(), MOVEFILE_REPLACE_EXISTING));
    }
    EXPECT_TRUE(watching ? WaitUntil([&] { return shown() == 2; }) : shown() == 1);
    // A write in place may be seen half done (an empty file), then done: one
    // outside change, one or two notices. The program's own write is none.
    const auto notices = [] {
      const std::string log = ReadRaw(ShortLog()), notice = "\tTrace\t\tThe hosts file was changed outside the "
                                                           "program; reloading the lists.\tFMain.HostsFile_Changed\r\n";
      std::size_t count = 0;
      for (auto at = log.find(notice); at != std::string::npos; at = log.find(notice, at + 1)) ++count;
      return count;
    };
    const std::size_t noticed = notices();
    EXPECT_EQ(noticed > 0, watching);
    // The unblocked list's first site is selected: block it.
    ::PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_BLOCK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(page, IDC_BLOCK)));
    const std::string expected =
        "# kept\r\n" + Entry("first.example") + Entry("outside.example") + Entry("later.example");
    EXPECT_TRUE(WaitUntil([&] { return ReadRaw(hosts) == expected; })) << ReadRaw(hosts);
    EXPECT_TRUE(WaitUntil([&] { return shown() == 3; }));
    // Time for a notice of the program's own write, were it taken for an
    // outside change, to come alone rather than with the next change's.
    ::Sleep(500);
    EXPECT_EQ(notices(), noticed);
    // It watches on; with the watch off, F5 reloads.
    WriteRaw(hosts, ReadRaw(hosts) + "127.0.0.1 second.example\r\n");
    ::SetForegroundWindow(main);
    if (!watching) PressKeys({}, VK_F5);
    EXPECT_TRUE(WaitUntil([&] { return shown() == 4; }));
    EXPECT_EQ(notices() > noticed, watching);

    // Ctrl+Tab and Ctrl+Shift+Tab switch the pages; focusing a tab, as the arrow keys do, too.
    const HWND help = FindChild(main, L"HedgerowHelpPane");
    const HWND tabs = FindChild(main, WC_TABCONTROLW);
    PressKeys({VK_CONTROL}, VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(help); }));
    EXPECT_EQ(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
    PressKeys({VK_CONTROL, VK_SHIFT}, VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(help); }));
    ::SendMessageW(tabs, TCM_SETCURFOCUS, 1, 0);
    EXPECT_FALSE(::IsWindowVisible(help));
    // Help, About by the menu's access keys; Escape closes it; File Exit by its access keys.
    PressKeys({VK_MENU}, 'H');
    PressKeys({}, 'A');
    const HWND about = program.WaitForWindow(L"#32770");
    ASSERT_NE(about, nullptr);
    EXPECT_THAT(ChildTexts(about), ::testing::Contains(::testing::StartsWith(L"Hedgerow Version 4.3\r\n\r\n")));
    PressKeys({}, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
    ::SetForegroundWindow(main);
    PressKeys({VK_MENU}, 'F');
    PressKeys({}, 'E');
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_EQ(ReadRaw(ShortLog()).find("\tError\t"), std::string::npos) << ReadRaw(ShortLog());
  }
  test::SetUnblockedNames({});
}

// The program's own store protected by a password, for an object's life.
class ProtectedProgram {
 public:
  ProtectedProgram() {
    protection::ProgramSettings settings;
    EXPECT_TRUE(settings.store().WriteProperties(
        {{protection::kProtectionEnabled, protection::Setting::Boolean(true)},
         {protection::kStoredPassword, protection::Setting::Text(protection::EncodePassword("Secret"))}}));
  }
  ~ProtectedProgram() {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, hg::win::Widen(protection::kProgramKey).c_str(), L"Registration");
  }

 private:
  const ComApartment apartment_;
};

// Start-up stops with its message box before the main window shows; the login
// stands between the user and the lists, the main window behind it, and Cancel
// ends the program.
TEST(Program, AStartThatCannotGoOnSaysWhyAndEnds) {
  const struct {
    const char* what;
    std::vector<std::wstring> environment;
    bool passworded;
    const wchar_t* title;
    const wchar_t* message;  // its start
  } cases[] = {
      {"empty windir", {L"windir="}, false, L"Hedgerow", L"Cannot determine system folder."},
      {"login cancelled", {}, true, L"Hedgerow Password Protection", L"Type a password and press OK"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::optional<ProtectedProgram> passworded;
    if (c.passworded) passworded.emplace();
    RunningProgram program(Program(), c.environment);
    const HWND box = program.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), c.title);
    EXPECT_THAT(ChildTexts(box), ::testing::Contains(::testing::StartsWith(c.message)));
    EXPECT_EQ(program.WaitForWindow(L"HedgerowMainWindow", 0) != nullptr, c.passworded);
    ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(program.WaitForExit(), 1u);
  }
}

}  // namespace
}  // namespace app::shell
