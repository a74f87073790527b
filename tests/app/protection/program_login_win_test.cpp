// Hedgerow.exe started with the protection on: the login stands between the
// user and the lists, in the real program.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "app/protection/password.h"
#include "app/protection/settings_store_win.h"
#include "app/resource.h"
#include "tests/support/registry_probe.h"
#include "tests/support/running_program_win.h"
#include "tests/support/win_test_support.h"

namespace app::protection {
namespace {

using hg::test::RunningProgram;

constexpr wchar_t kProgramKeyW[] = L"Software\\Tarnwick Software\\Hedgerow";

// Sets the program's own store for one test and puts back what was there.
class ProtectedStart : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(apartment_.result(), S_OK);
    before_ = hg::test::ReadString(HKEY_CURRENT_USER, kProgramKeyW, L"Registration");
    ProgramSettings settings;
    ASSERT_TRUE(settings.store().WriteProperties(
        {{kProtectionEnabled, Setting::Boolean(true)},
         {kStoredPassword, Setting::Text(EncodePassword("Secret"))}}));
  }
  void TearDown() override {
    if (before_) {
      ::RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKeyW, L"Registration", REG_SZ, before_->c_str(),
                        static_cast<DWORD>((before_->size() + 1) * sizeof(wchar_t)));
    } else {
      ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKeyW, L"Registration");
    }
  }

  hg::test::ComApartment apartment_;
  std::optional<std::wstring> before_;
};

TEST_F(ProtectedStart, OnlyTheRightPasswordLetsTheProgramRun) {
  for (const bool right : {false, true}) {
    SCOPED_TRACE(right ? "right password" : "cancelled");
    RunningProgram program(hg::test::ProgramFolder() + L"\\Hedgerow.exe");
    const HWND login = program.WaitForWindow(L"#32770");
    ASSERT_NE(login, nullptr);
    ASSERT_EQ(hg::test::WindowText(login), L"Hedgerow Password Protection");
    const HWND main = program.WaitForWindow(L"HedgerowMainWindow", 0);
    EXPECT_NE(main, nullptr) << "the main window is on the screen behind the login";

    ::SetDlgItemTextW(login, IDC_LOGIN_PASSWORD, L" Secret ");
    ::SendMessageW(::GetDlgItem(login, right ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
    if (!right) {
      EXPECT_NE(program.WaitForExit(), STILL_ACTIVE);
      continue;
    }
    EXPECT_EQ(program.WaitForExit(1000), STILL_ACTIVE);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
  }
}

}  // namespace
}  // namespace app::protection
