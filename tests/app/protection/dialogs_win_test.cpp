#include "app/protection/dialogs_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "app/engine/services.h"
#include "app/protection/password.h"
#include "app/protection/settings_store_win.h"
#include "app/resource.h"
#include "tests/app/engine/recording_log.h"
#include "tests/app/ui/page_host_win.h"
#include "tests/support/win_test_support.h"

namespace app::protection {
namespace {

constexpr char kTestKey[] = "Software\\Tarnwick Software\\Hedgerow Tests\\Protection";
constexpr wchar_t kTestRoot[] = L"Software\\Tarnwick Software\\Hedgerow Tests";

std::wstring Text(HWND dialog, int id) { return hg::test::WindowText(::GetDlgItem(dialog, id)); }
void Type(HWND dialog, int id, const wchar_t* text) { ::SetDlgItemTextW(dialog, id, text); }
void Click(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The controls in tab order, starting at the one with the focus.
std::vector<int> TabOrder(HWND dialog, std::size_t count) {
  std::vector<int> ids;
  HWND control = ::GetFocus();
  for (std::size_t i = 0; i < count && control; ++i) {
    ids.push_back(::GetDlgCtrlID(control));
    control = ::GetNextDlgTabItem(dialog, control, FALSE);
  }
  return ids;
}

class ProtectionDialogs : public app::test::RecordingTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(apartment_.result(), S_OK);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
  }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }

  void Protect(const std::string& password) {
    ASSERT_TRUE(
        store.WriteProperties({{kProtectionEnabled, Setting::Boolean(true)},
                               {kStoredPassword, Setting::Text(EncodePassword(password))}}));
  }
  std::string StoredPassword() {
    return DecodePassword(AsText(store.ReadProperty(kStoredPassword)));
  }

  // Shows the login with `answer` driving it; true when it let the program run.
  bool Login(std::function<void(HWND)> answer) {
    bool ran = false;
    hg::test::AnswerNextDialog([&](HWND dialog) {
      ran = true;
      answer(dialog);
    });
    const bool granted = AskPassword(services, store);
    EXPECT_TRUE(ran) << "the login was never shown";
    return granted;
  }

  hg::test::ComApartment apartment_;
  RegistrySettingsText place{kCurrentUser, kTestKey, kStoreValueName};
  CRData store{place};
};

TEST_F(ProtectionDialogs, LoginTakesTheRightPasswordWithBlanksAroundByKeyboard) {
  Protect("Secret");
  EXPECT_TRUE(Login([](HWND dialog) {
    EXPECT_EQ(hg::test::WindowText(dialog), L"Hedgerow Password Protection");
    EXPECT_EQ(TabOrder(dialog, 5), (std::vector<int>{IDC_LOGIN_PASSWORD, IDC_LOGIN_CHANGE, IDOK,
                                                     IDCANCEL, IDC_LOGIN_PASSWORD}));
    EXPECT_TRUE(::GetWindowLongW(::GetDlgItem(dialog, IDC_LOGIN_PASSWORD), GWL_STYLE) &
                ES_PASSWORD);
    Type(dialog, IDC_LOGIN_PASSWORD, L"  Secret ");
    test::PressKey(VK_RETURN);
  }));
  EXPECT_TRUE(dialogs.shown.empty());
}

// A wrong password keeps the login asking; Escape or the close box ends it.
TEST_F(ProtectionDialogs, LoginKeepsAskingAfterAWrongPasswordUntilEscapeOrTheCloseBox) {
  Protect("Secret");
  const std::function<void(HWND)> ways[] = {
      [](HWND) { test::PressKey(VK_ESCAPE); },
      [](HWND dialog) { ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
  };
  for (const auto& way : ways) {
    EXPECT_FALSE(Login([&](HWND dialog) {
      Type(dialog, IDC_LOGIN_PASSWORD, L"secret");
      Click(dialog, IDOK);
      EXPECT_TRUE(::IsWindowVisible(dialog));
      EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, IDC_LOGIN_PASSWORD));
      Type(dialog, IDC_LOGIN_PASSWORD, L"Secret");
      way(dialog);
    }));
  }
  EXPECT_EQ(dialogs.shown, std::vector<std::string>(2, "Access denied. Invalid password. |48|Hedgerow"));
  EXPECT_EQ(log.entries.size(), 2u);
}

TEST_F(ProtectionDialogs, ChangeOpensTheSettingsOnlyForTheRightPassword) {
  Protect("Secret");
  bool settingsShown = false;
  EXPECT_TRUE(Login([&](HWND login) {
    Type(login, IDC_LOGIN_PASSWORD, L"wrong");
    test::PressKey('C', {VK_MENU});  // Alt+C, Change...
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0], "Access denied. Invalid password. |48|Hedgerow");
    EXPECT_EQ(log.entries.at(0).source, "FPwdLogin.cmdChange_Click");

    Type(login, IDC_LOGIN_PASSWORD, L"Secret");
    hg::test::AnswerNextDialog(
        [&](HWND settings) {
          settingsShown = true;
          EXPECT_EQ(::GetWindow(settings, GW_OWNER), login);
          Click(settings, IDC_PWD_REMOVE);
          Click(settings, IDOK);
        },
        L"Hedgerow Security");
    Click(login, IDC_LOGIN_CHANGE);
  }));
  EXPECT_TRUE(settingsShown);
  EXPECT_FALSE(ProtectionEnabled(store));
  EXPECT_EQ(dialogs.shown.back(), "Password protection is disabled.|64|Hedgerow");
}

TEST_F(ProtectionDialogs, SettingsEnableWithTwoMatchingPasswords) {
  hg::test::AnswerNextDialog([&](HWND dialog) {
    EXPECT_TRUE(Checked(dialog, IDC_PWD_REMOVE));
    for (const int id : {IDC_PWD_LABEL, IDC_PWD_TEXT, IDC_PWD_CONFIRM_LABEL, IDC_PWD_CONFIRM}) {
      EXPECT_FALSE(Enabled(dialog, id)) << id;
    }
    test::PressKey('E', {VK_MENU});  // Alt+E, Enable
    EXPECT_TRUE(Checked(dialog, IDC_PWD_ENABLE));
    EXPECT_TRUE(Enabled(dialog, IDC_PWD_TEXT) && Enabled(dialog, IDC_PWD_CONFIRM_LABEL));
    EXPECT_EQ(TabOrder(dialog, 5),
              (std::vector<int>{IDC_PWD_ENABLE, IDC_PWD_TEXT, IDC_PWD_CONFIRM, IDOK, IDCANCEL}));

    Click(dialog, IDOK);
    Type(dialog, IDC_PWD_TEXT, L"New pass");
    Type(dialog, IDC_PWD_CONFIRM, L"new pass");
    Click(dialog, IDOK);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_EQ(Text(dialog, IDC_PWD_CONFIRM), L"new pass");

    Type(dialog, IDC_PWD_CONFIRM, L" New pass  ");
    test::PressKey(VK_RETURN);
  });
  OpenProtectionSettings(services, store, nullptr);
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{
                               "Please type a password. |48|Hedgerow",
                               "Passwords don't match. Please re-type passwords.|48|Hedgerow",
                               "Password protection is enabled.|64|Hedgerow"}));
  EXPECT_TRUE(ProtectionEnabled(store));
  EXPECT_EQ(StoredPassword(), "New pass");
}

TEST_F(ProtectionDialogs, SettingsRemoveOrCancel) {
  Protect("Secret");
  hg::test::AnswerNextDialog([&](HWND dialog) {
    EXPECT_TRUE(Checked(dialog, IDC_PWD_ENABLE));
    EXPECT_TRUE(Enabled(dialog, IDC_PWD_TEXT));
    EXPECT_EQ(Text(dialog, IDC_PWD_TEXT), L"");  // the stored password is never shown
    Click(dialog, IDC_PWD_REMOVE);
    test::PressKey(VK_ESCAPE);
  });
  OpenProtectionSettings(services, store, nullptr);
  EXPECT_TRUE(ProtectionEnabled(store));
  EXPECT_TRUE(dialogs.shown.empty());

  hg::test::AnswerNextDialog([&](HWND dialog) {
    Type(dialog, IDC_PWD_TEXT, L"left over");
    Click(dialog, IDC_PWD_REMOVE);
    EXPECT_FALSE(Enabled(dialog, IDC_PWD_CONFIRM));
    Click(dialog, IDOK);
  });
  OpenProtectionSettings(services, store, nullptr);
  EXPECT_FALSE(ProtectionEnabled(store));
  EXPECT_EQ(store.ReadProperty(kStoredPassword), Setting::Text(""));
  EXPECT_EQ(dialogs.shown,
            (std::vector<std::string>{"Password protection is disabled.|64|Hedgerow"}));
}

}  // namespace
}  // namespace app::protection
