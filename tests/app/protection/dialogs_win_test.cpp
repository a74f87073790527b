#include "app/protection/dialogs_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "app/protection/password.h"
#include "app/protection/settings_store_win.h"
#include "app/resource.h"
#include "tests/app/engine/recording_log.h"
#include "tests/app/ui/page_host_win.h"
#include "tests/support/win_test_support.h"

namespace app::protection {
namespace {

using namespace hg::test;

constexpr char kTestKey[] = "Software\\Tarnwick Software\\Hedgerow Tests\\Protection";
constexpr wchar_t kTestRoot[] = L"Software\\Tarnwick Software\\Hedgerow Tests";

void Type(HWND dialog, int id, const wchar_t* text) { ::SetDlgItemTextW(dialog, id, text); }
void Click(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

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

// The dialogs and the store over a registry key of the tests' own.
class ProtectionDialogs : public app::test::RecordingTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(apartment_.result(), S_OK);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
  }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }

  ComApartment apartment_;
  RegistrySettingsText place{kCurrentUser, kTestKey, kStoreValueName};
  CRData store{place};
};

// The settings enable the protection by keyboard once two matching passwords
// are typed. A wrong password then keeps the login asking, with the focus back
// in the box; Escape ends it; Enter with the right one, or Change... with it
// where the settings remove the protection (a removal cancelled by Escape
// keeps it), lets the program run.
TEST_F(ProtectionDialogs, SettingsEnableAndTheLoginKeepsAskingUntilTheRightPasswordOrChangeOrEscape) {
  AnswerNextDialog([&](HWND settings) {
    EXPECT_EQ(TabOrder(settings, 3), (std::vector<int>{IDC_PWD_REMOVE, IDOK, IDCANCEL}));
    test::PressKey('E', {VK_MENU});  // Alt+E, Enable: the boxes join the tab order
    EXPECT_EQ(TabOrder(settings, 5), (std::vector<int>{IDC_PWD_ENABLE, IDC_PWD_TEXT, IDC_PWD_CONFIRM, IDOK, IDCANCEL}));
    Type(settings, IDC_PWD_TEXT, L"Secret");
    Type(settings, IDC_PWD_CONFIRM, L"secret");
    Click(settings, IDOK);
    EXPECT_TRUE(::IsWindowVisible(settings));
    Type(settings, IDC_PWD_CONFIRM, L" Secret  ");
    test::PressKey(VK_RETURN);
  });
  OpenProtectionSettings(services, store, nullptr);
  const struct {
    const char* name;
    std::function<void(HWND)> end;
    bool granted;
  } ways[] = {
      {"Escape", [](HWND) { test::PressKey(VK_ESCAPE); }, false},
      {"Enter", [](HWND) { test::PressKey(VK_RETURN); }, true},
      // Last: it removes the protection.
      {"Change...",
       [&](HWND login) {
         Type(login, IDC_LOGIN_PASSWORD, L"wrong");
         test::PressKey('C', {VK_MENU});  // refused: no settings shown
         EXPECT_EQ(log.entries.back().source, "FPwdLogin.cmdChange_Click");
         Type(login, IDC_LOGIN_PASSWORD, L"Secret");
         for (const UINT key : {VK_ESCAPE, VK_RETURN}) {
           AnswerNextDialog(
               [&](HWND settings) {
                 EXPECT_EQ(::GetWindow(settings, GW_OWNER), login);
                 test::PressKey('R', {VK_MENU});  // Alt+R, Remove: the boxes leave the tab order
                 EXPECT_EQ(TabOrder(settings, 3), (std::vector<int>{IDC_PWD_REMOVE, IDOK, IDCANCEL}));
                 test::PressKey(key);
               },
               L"Hedgerow Security");
           test::PressKey('C', {VK_MENU});
           EXPECT_EQ(ProtectionEnabled(store), key == VK_ESCAPE);
         }
       },
       true},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    bool shown = false;
    AnswerNextDialog([&](HWND dialog) {
      shown = true;
      EXPECT_TRUE(::GetWindowLongW(::GetDlgItem(dialog, IDC_LOGIN_PASSWORD), GWL_STYLE) & ES_PASSWORD);
      EXPECT_EQ(TabOrder(dialog, 5),
                (std::vector<int>{IDC_LOGIN_PASSWORD, IDC_LOGIN_CHANGE, IDOK, IDCANCEL, IDC_LOGIN_PASSWORD}));
      Type(dialog, IDC_LOGIN_PASSWORD, L"secret");
      Click(dialog, IDOK);
      EXPECT_TRUE(::IsWindowVisible(dialog));
      EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, IDC_LOGIN_PASSWORD));
      Type(dialog, IDC_LOGIN_PASSWORD, L"Secret");
      way.end(dialog);
    });
    EXPECT_EQ(AskPassword(services, store), way.granted);
    EXPECT_TRUE(shown) << "the login was never shown";
  }
}

}  // namespace
}  // namespace app::protection
