#include "app/protection/dialogs_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "app/engine/services.h"
#include "app/protection/password.h"
#include "app/protection/settings_store_win.h"
#include "app/resource.h"
#include "common/win/com_win.h"
#include "tests/app/engine/recording_log.h"
#include "tests/app/ui/page_host_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace app::protection {
namespace {

using namespace hg::test;

constexpr char kTestKey[] = "Software\\Tarnwick Software\\Hedgerow Tests\\Protection";
constexpr wchar_t kTestKeyW[] = L"Software\\Tarnwick Software\\Hedgerow Tests\\Protection";
constexpr wchar_t kTestRoot[] = L"Software\\Tarnwick Software\\Hedgerow Tests";

void Type(HWND dialog, int id, const wchar_t* text) { ::SetDlgItemTextW(dialog, id, text); }
void Click(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

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

  void Protect(const std::string& password) {
    ASSERT_TRUE(store.WriteProperties(
        {{kProtectionEnabled, Setting::Boolean(true)}, {kStoredPassword, Setting::Text(EncodePassword(password))}}));
  }

  // Shows the login with `answer` driving it; true when it let the program run.
  bool Login(std::function<void(HWND)> answer) {
    bool ran = false;
    AnswerNextDialog([&](HWND dialog) {
      ran = true;
      answer(dialog);
    });
    const bool granted = AskPassword(services, store);
    EXPECT_TRUE(ran) << "the login was never shown";
    return granted;
  }

  ComApartment apartment_;
  RegistrySettingsText place{kCurrentUser, kTestKey, kStoreValueName};
  CRData store{place};
};

// A wrong password keeps the login asking, with the focus back in the box;
// Escape or the close box ends it, Enter with the right one (blanks around)
// lets the program run.
TEST_F(ProtectionDialogs, LoginKeepsAskingAfterAWrongPasswordUntilTheRightOneOrEscapeOrTheCloseBox) {
  Protect("Secret");
  const struct {
    const char* name;
    std::function<void(HWND)> end;
    bool granted;
  } ways[] = {
      {"Escape", [](HWND) { test::PressKey(VK_ESCAPE); }, false},
      {"close box", [](HWND dialog) { ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
      {"Enter",
       [](HWND dialog) {
         Type(dialog, IDC_LOGIN_PASSWORD, L"  Secret ");
         test::PressKey(VK_RETURN);
       },
       true},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    EXPECT_EQ(Login([&](HWND dialog) {
                EXPECT_EQ(WindowText(dialog), L"Hedgerow Password Protection");
                EXPECT_TRUE(::GetWindowLongW(::GetDlgItem(dialog, IDC_LOGIN_PASSWORD), GWL_STYLE) & ES_PASSWORD);
                EXPECT_EQ(TabOrder(dialog, 5),
                          (std::vector<int>{IDC_LOGIN_PASSWORD, IDC_LOGIN_CHANGE, IDOK, IDCANCEL, IDC_LOGIN_PASSWORD}));
                Type(dialog, IDC_LOGIN_PASSWORD, L"secret");
                Click(dialog, IDOK);
                EXPECT_TRUE(::IsWindowVisible(dialog));
                EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, IDC_LOGIN_PASSWORD));
                Type(dialog, IDC_LOGIN_PASSWORD, L"Secret");
                way.end(dialog);
              }),
              way.granted);
  }
  EXPECT_EQ(dialogs.shown, std::vector<std::string>(3, "Access denied. Invalid password. |48|Hedgerow"));
}

TEST_F(ProtectionDialogs, ChangeOpensTheSettingsOnlyForTheRightPassword) {
  Protect("Secret");
  EXPECT_TRUE(Login([&](HWND login) {
    Type(login, IDC_LOGIN_PASSWORD, L"wrong");
    test::PressKey('C', {VK_MENU});  // Alt+C, Change...
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Access denied. Invalid password. |48|Hedgerow"});
    EXPECT_EQ(log.entries.at(0).source, "FPwdLogin.cmdChange_Click");

    Type(login, IDC_LOGIN_PASSWORD, L"Secret");
    AnswerNextDialog(
        [&](HWND settings) {
          EXPECT_EQ(::GetWindow(settings, GW_OWNER), login);
          Click(settings, IDC_PWD_REMOVE);
          Click(settings, IDOK);
        },
        L"Hedgerow Security");
    Click(login, IDC_LOGIN_CHANGE);
  }));
  EXPECT_FALSE(ProtectionEnabled(store));  // removed in the settings, so they were shown
}

// Enabled by keyboard once two matching passwords are typed; then opened again
// (the stored password never shown), cancelled by Escape, and removed.
TEST_F(ProtectionDialogs, SettingsEnableWithTwoMatchingPasswordsAndRemoveOrCancel) {
  AnswerNextDialog([&](HWND dialog) {
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_PWD_REMOVE), BST_CHECKED);
    for (const int id : {IDC_PWD_LABEL, IDC_PWD_TEXT, IDC_PWD_CONFIRM_LABEL, IDC_PWD_CONFIRM}) {
      EXPECT_FALSE(Enabled(dialog, id)) << id;
    }
    test::PressKey('E', {VK_MENU});  // Alt+E, Enable
    EXPECT_TRUE(Enabled(dialog, IDC_PWD_TEXT) && Enabled(dialog, IDC_PWD_CONFIRM_LABEL));
    EXPECT_EQ(TabOrder(dialog, 5), (std::vector<int>{IDC_PWD_ENABLE, IDC_PWD_TEXT, IDC_PWD_CONFIRM, IDOK, IDCANCEL}));
    Type(dialog, IDC_PWD_TEXT, L"New pass");
    Type(dialog, IDC_PWD_CONFIRM, L"new pass");
    Click(dialog, IDOK);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_PWD_CONFIRM)), L"new pass");
    Type(dialog, IDC_PWD_CONFIRM, L" New pass  ");
    test::PressKey(VK_RETURN);
  });
  OpenProtectionSettings(services, store, nullptr);
  EXPECT_TRUE(ProtectionEnabled(store));
  EXPECT_EQ(DecodePassword(AsText(store.ReadProperty(kStoredPassword))), "New pass");

  for (const bool remove : {false, true}) {
    AnswerNextDialog([&](HWND dialog) {
      EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_PWD_ENABLE), BST_CHECKED);
      EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_PWD_TEXT)), L"");
      Type(dialog, IDC_PWD_TEXT, L"left over");
      Click(dialog, IDC_PWD_REMOVE);
      EXPECT_FALSE(Enabled(dialog, IDC_PWD_CONFIRM));
      if (remove) {
        Click(dialog, IDOK);
      } else {
        test::PressKey(VK_ESCAPE);
      }
    });
    OpenProtectionSettings(services, store, nullptr);
    EXPECT_EQ(ProtectionEnabled(store), !remove);
  }
  EXPECT_EQ(store.ReadProperty(kStoredPassword), Setting::Text(""));
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"Passwords don't match. Please re-type passwords.|48|Hedgerow",
                                                     "Password protection is enabled.|64|Hedgerow",
                                                     "Password protection is disabled.|64|Hedgerow"}));
}

// The library's own classes on one side, the program's store on the other,
// meeting in the real registry.
TEST_F(ProtectionDialogs, TheStoreAndTheLibraryReadWhatTheOtherWrote) {
  const auto registry = Create<_CRegistry>(CLSID_CRegistry, IID__CRegistry);
  const auto global = Create<_CGlobal>(CLSID_CGlobal, IID__CGlobal);
  const auto bag = Create<_PropertyBag>(CLSID_PropertyBag, IID__PropertyBag);
  ASSERT_TRUE(registry && global && bag);
  EXPECT_EQ(store.ReadProperty("PPEnabled", Setting::Boolean(true)), Setting::Empty());
  ASSERT_TRUE(store.WriteProperties({{"PPEnabled", Setting::Boolean(true)}, {"PP", Setting::Text("b3a7")}}));

  hg::win::Variant text;
  ASSERT_TRUE(Flag([&](VARIANT_BOOL* found) {
    return registry->QuerySTRING(kCurrentUser, Bstr(kTestKeyW), Bstr(L"Registration"), text.put(), found);
  }));
  hg::win::unique_safearray bytes;
  ASSERT_EQ(global->Base64DecodeB(text.get().bstrVal, bytes.put()), S_OK);
  ASSERT_EQ(bag->put_Contents(hg::win::BorrowedArray(bytes.get())), S_OK);
  std::wstring values;
  for (const wchar_t* name : {L"n1", L"v1", L"n2", L"v2", L"c"}) {
    hg::win::Variant value;
    ASSERT_EQ(bag->ReadProperty(Bstr(name), hg::win::MissingArgument(), value.put()), S_OK);
    const VARIANT& v = value.get();
    values += std::to_wstring(v.vt) + L":" + (v.vt == VT_I4 ? std::to_wstring(v.lVal) : TextOf(v)) + L";";
  }
  EXPECT_EQ(values, L"8:PPEnabled;11:<not text>;8:PP;8:b3a7;3:2;");  // VT_BSTR, VT_BOOL, VT_I4

  ASSERT_EQ(bag->WriteProperty(Bstr(L"v2"), Text(L"c4d9").get(), hg::win::MissingArgument()), S_OK);
  hg::win::Variant contents;
  ASSERT_EQ(bag->get_Contents(contents.put()), S_OK);
  const std::wstring encoded = Str([&](BSTR* out) { return global->Base64EncodeB(contents.get(), out); });
  ASSERT_TRUE(Flag([&](VARIANT_BOOL* written) {
    return registry->SetSTRING(kCurrentUser, Bstr(kTestKeyW), Bstr(L"Registration"), Bstr(encoded), written);
  }));
  CRData again(place);
  EXPECT_TRUE(ProtectionEnabled(again));
  EXPECT_EQ(again.ReadProperty("pp"), Setting::Text("c4d9"));
}

}  // namespace
}  // namespace app::protection
