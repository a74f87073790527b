#include "app/protection/protection.h"

#include <gtest/gtest.h>

#include <string>

#include "app/protection/password.h"
#include "tests/app/protection/protection_fixture.h"

namespace app::protection::test {
namespace {

class Login : public ProtectionTest {
 protected:
  void Protect(const std::string& password) {
    ASSERT_TRUE(
        store.WriteProperties({{kProtectionEnabled, Setting::Boolean(true)},
                               {kStoredPassword, Setting::Text(EncodePassword(password))}}));
  }
  LoginModel login{store};
};

TEST_F(Login, ARefusalIsLoggedMaskedAndOnlyTheRightPasswordWithBlanksAroundIsGranted) {
  Protect("Secret");
  const struct {
    const char* typed;
    const char* masked;
  } attempts[] = {{"secret", "******"}, {"", ""}, {" Secret1", "********"}};
  for (const auto& attempt : attempts) EXPECT_FALSE(login.Ok(attempt.typed)) << attempt.typed;
  EXPECT_FALSE(login.granted());

  ASSERT_EQ(log.entries.size(), 3u);
  ASSERT_EQ(dialogs.shown.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(log.entries[i].number, static_cast<std::int32_t>(0x80040688u));
    EXPECT_EQ(log.entries[i].description,
              std::string("Access denied. Invalid password.  \"") + attempts[i].masked + "\"");
    EXPECT_EQ(log.entries[i].severity, Severity::kInternalError);
    EXPECT_EQ(log.entries[i].source, "FPwdLogin.cmdOK_Click");
    EXPECT_EQ(dialogs.shown[i], "Access denied. Invalid password. |48|Hedgerow");
  }
  EXPECT_TRUE(login.Ok("  Secret "));
  EXPECT_TRUE(login.granted());
  EXPECT_EQ(log.entries.size(), 3u);
  EXPECT_EQ(dialogs.shown.size(), 3u);
}

TEST_F(Login, AStoreWithoutAPasswordAcceptsNone) {
  ASSERT_TRUE(store.WriteProperty(kProtectionEnabled, Setting::Boolean(true)));
  EXPECT_FALSE(login.Ok(""));
  ASSERT_TRUE(store.WriteProperty(kStoredPassword, Setting::Boolean(true)));
  EXPECT_FALSE(login.Ok("True"));
  EXPECT_EQ(dialogs.shown.back(), "Access denied. Type mismatch|48|Hedgerow");
}

TEST_F(Login, ChangeOpensTheSettingsOnlyForTheRightPassword) {
  Protect("Secret");
  EXPECT_FALSE(login.MayChange("wrong"));
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].source, "FPwdLogin.cmdChange_Click");
  EXPECT_EQ(log.entries[0].description, "Access denied. Invalid password.  \"*****\"");
  EXPECT_EQ(dialogs.shown.at(0), "Access denied. Invalid password. |48|Hedgerow");

  EXPECT_TRUE(login.MayChange("Secret"));
  EXPECT_FALSE(login.granted());  // the settings dialog decides
  EXPECT_FALSE(login.ProtectionRemoved());
  ASSERT_TRUE(store.WriteProperty(kProtectionEnabled, Setting::Boolean(false)));
  EXPECT_TRUE(login.ProtectionRemoved());
  EXPECT_TRUE(login.granted());
}

TEST_F(Login, ProtectionIsOnOnlyForATrueOrNonZeroSetting) {
  EXPECT_FALSE(ProtectionEnabled(store));
  ASSERT_TRUE(store.WriteProperty(kProtectionEnabled, Setting::Signed(tk::ValueKind::Int32, 1)));
  EXPECT_TRUE(ProtectionEnabled(store));
  ASSERT_TRUE(store.WriteProperty(kProtectionEnabled, Setting::Text("on")));
  EXPECT_THROW(ProtectionEnabled(store), Failure);
}

TEST(ValidateSettings, NeedsAPasswordTypedTwiceOnlyToEnable) {
  const struct {
    ProtectionChoice choice;
    bool valid;
    const char* cause;
  } cases[] = {
      {{false, "", "other"}, true, ""},
      {{true, "", ""}, false, "Please type a password. "},
      {{true, "   ", "   "}, false, "Please type a password. "},
      {{true, "Secret", "secret"}, false, "Passwords don't match. Please re-type passwords."},
      {{true, " Secret", "Secret  "}, true, ""},
  };
  for (const auto& c : cases) {
    std::string cause = "stale";
    EXPECT_EQ(ValidateSettings(c.choice, cause), c.valid) << c.choice.password;
    EXPECT_EQ(cause, c.cause);
  }
}

using ApplyChoice = Login;

TEST_F(ApplyChoice, EnablingStoresTheTrimmedPasswordAndRemovingClearsIt) {
  EXPECT_TRUE(ApplyProtectionChoice(store, {true, " New pass ", "New pass"}));
  EXPECT_TRUE(ProtectionEnabled(store));
  EXPECT_EQ(DecodePassword(AsText(store.ReadProperty(kStoredPassword))), "New pass");
  EXPECT_EQ(dialogs.shown.back(), "Password protection is enabled.|64|Hedgerow");

  EXPECT_TRUE(ApplyProtectionChoice(store, {false, "anything", ""}));
  EXPECT_FALSE(ProtectionEnabled(store));
  EXPECT_EQ(store.ReadProperty(kStoredPassword), Setting::Text(""));
  EXPECT_EQ(dialogs.shown.back(), "Password protection is disabled.|64|Hedgerow");
}

TEST_F(ApplyChoice, InvalidInputOrAFailedWriteKeepsTheDialogOpen) {
  Protect("Old");
  const std::string before = text.text;
  EXPECT_FALSE(ApplyProtectionChoice(store, {true, "a", "b"}));
  EXPECT_EQ(dialogs.shown.back(), "Passwords don't match. Please re-type passwords.|48|Hedgerow");

  text.failWrites = true;
  EXPECT_FALSE(ApplyProtectionChoice(store, {false, "", ""}));
  EXPECT_EQ(dialogs.shown.back(),
            "The password protection settings could not be saved.|48|Hedgerow");
  EXPECT_EQ(text.text, before);
}

}  // namespace
}  // namespace app::protection::test
