#include "app/protection/protection.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "app/protection/password.h"
#include "app/protection/settings_store.h"
#include "shared/global/text_encoders.h"
#include "tests/app/engine/recording_log.h"

namespace app::protection {
namespace {

// The settings' stored text in memory, failing to be read or written on demand.
class MemoryText final : public SettingsText {
 public:
  std::string Read() override {
    if (failing == "read") throw Failure(5, "Access is denied.");
    return text;
  }
  void Write(const std::string& written) override {
    if (failing == "write") throw Failure(5, "Access is denied.");
    text = written;
  }
  std::string text;
  std::string failing;  // "read" or "write"
};

class Protection : public app::test::RecordingTest {
 protected:
  MemoryText text;
  CRData store{text};
  LoginModel login{store};
};

Setting Count(std::int64_t count) { return Setting::Signed(tk::ValueKind::Int32, count); }

// The stored text of a bag holding "PP" as its one entry, with `changes` made.
std::string StoredText(std::initializer_list<std::pair<const char*, Setting>> changes = {}) {
  tk::PropertyList bag;
  bag.Set("n1", Setting::Text("PP"));
  bag.Set("v1", Setting::Text("b3a7"));
  bag.Set("c", Count(1));
  for (const auto& [name, value] : changes) bag.Set(name, value);
  const auto bytes = tk::Serialize(bag);
  return tk::Base64EncodeB(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

tk::PropertyList BagOf(const std::string& text) { return tk::Parse(tk::Base64DecodeB(text)); }

TEST(Password, IsStoredReversedBetweenVaryingFillersAndComesBackWhateverItsCharacters) {
  EXPECT_TRUE(std::regex_match(EncodePassword(" ab "), std::regex("b[0-9A-F]a[0-9A-F]")));
  EXPECT_NE(EncodePassword(std::string(40, 'k')), EncodePassword(std::string(40, 'k')));
  EXPECT_EQ(DecodePassword(" b3aF "), "ab");  // as earlier versions stored it
  for (const std::string& password :
       {std::string(), std::string("p"), std::string("Pässwörd Ωμέγα 𝄞 密码"), std::string(10000, 'x')}) {
    EXPECT_EQ(DecodePassword(EncodePassword(password)), password) << password.substr(0, 20);
  }
  EXPECT_EQ(MaskedText(" p\xC3\xA4\xF0\x9D\x84\x9E "), "*****");
}

TEST_F(Protection, TheStoreReadsValuesAsBooleanOrTextOrRefusesThemAndMovesARewrittenNameToTheEnd) {
  EXPECT_FALSE(ProtectionEnabled(store));  // nothing stored
  EXPECT_TRUE(AsBoolean(Setting::Signed(tk::ValueKind::Int16, -1)));
  EXPECT_THROW(AsBoolean(Setting::Text("yes")), Failure);
  EXPECT_EQ(AsText(Setting::Empty()), "");
  ASSERT_TRUE(store.WriteProperties({{"PPEnabled", Setting::Boolean(false)}, {"PP", Setting::Text("b3a7")}}));
  ASSERT_TRUE(store.WriteProperty("ppenabled", Setting::Boolean(true)));
  EXPECT_EQ(*BagOf(text.text).Find("n2"), Setting::Text("ppenabled"));
}

TEST_F(Protection, ACorruptStoreReadsAsEmptyAndTheNextWriteReplacesIt) {
  const struct {
    const char* what;
    std::string stored;
  } cases[] = {
      {"not Base64", "<<not a bag>>"},
      {"truncated", StoredText().substr(0, StoredText().size() - 8)},
      {"count beyond the entries", StoredText({{"c", Count(2)}})},
      {"negative count", StoredText({{"c", Count(-1)}})},
      {"count as text", StoredText({{"c", Setting::Text("1")}})},
      {"name not text", StoredText({{"n1", Setting::Boolean(true)}})},
      {"a name twice", StoredText({{"n2", Setting::Text("pp")}, {"v2", Setting::Empty()}, {"c", Count(2)}})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    text.text = c.stored;
    log.entries.clear();
    EXPECT_EQ(store.ReadProperty("PP", Setting::Text("default")), Setting::Text("default"));
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].source, "CMyPropertyBag.Let_Contents");
    ASSERT_TRUE(store.WriteProperty("PPEnabled", Setting::Boolean(true)));
    EXPECT_EQ(*BagOf(text.text).Find("c"), Count(1));
  }
}

// A refusal is logged with the typed text masked and shown; OK grants, and
// Change opens the settings, only for the right password with blanks around.
TEST_F(Protection, OnlyTheRightPasswordLogsInOrOpensTheSettingsAndARefusalIsLoggedMasked) {
  ASSERT_TRUE(ApplyProtectionChoice(store, {true, "Secret", "Secret"}));
  const struct {
    bool change;
    const char* typed;
    const char* masked;  // nullptr: the right password
  } attempts[] = {
      {false, "secret", "******"},
      {true, "wrong", "*****"},
      {true, " Secret", nullptr},
      {false, "  Secret ", nullptr},
  };
  for (const auto& attempt : attempts) {
    SCOPED_TRACE(attempt.typed);
    log.entries.clear();
    dialogs.shown.clear();
    EXPECT_EQ(attempt.change ? login.MayChange(attempt.typed) : login.Ok(attempt.typed), !attempt.masked);
    // The settings dialog, not Change, decides whether the program runs.
    EXPECT_EQ(login.granted(), !attempt.masked && !attempt.change);
    if (!attempt.masked) continue;
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].description, std::string("Access denied. Invalid password.  \"") + attempt.masked + "\"");
    EXPECT_EQ(log.entries[0].source, attempt.change ? "FPwdLogin.cmdChange_Click" : "FPwdLogin.cmdOK_Click");
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Access denied. Invalid password. |48|Hedgerow"});
  }

  // A store gone, unreadable, without a password or with one of another type accepts none.
  for (const char* failing : {"", "read"}) {
    text.text.clear();
    text.failing = failing;
    EXPECT_FALSE(login.Ok("")) << failing;
  }
  text.failing.clear();
  text.text = StoredText({{"n1", Setting::Text("PPEnabled")}});
  EXPECT_FALSE(login.Ok(""));
  ASSERT_TRUE(store.WriteProperty(kStoredPassword, Setting::Boolean(true)));
  EXPECT_FALSE(login.Ok("True"));
  EXPECT_EQ(dialogs.shown.back(), "Access denied. Type mismatch|48|Hedgerow");
}

// Both settings are written in one write, or the user is told and the store
// stays as it was: a store that cannot be read is not written over either.
TEST_F(Protection, SettingsNeedAPasswordTypedTwiceOnlyToEnableAndAreSavedTrimmedOrLeftAsTheyWere) {
  const char* const unsaved = "The password protection settings could not be saved.|48|Hedgerow";
  const struct {
    ProtectionChoice choice;
    const char* failing;  // what of the store fails
    const char* shown;
    const char* stored;  // nullptr: the store stays as it was
    const char* logged;  // the source of the log entry; empty: none
  } cases[] = {
      {{true, "   ", "   "}, "", "Please type a password. |48|Hedgerow", nullptr, ""},
      {{true, "Secret", "secret"}, "", "Passwords don't match. Please re-type passwords.|48|Hedgerow", nullptr, ""},
      {{true, " New pass ", "New pass  "}, "", "Password protection is enabled.|64|Hedgerow", "New pass", ""},
      {{false, "", ""}, "write", unsaved, nullptr, "CRData.WriteCurrentContainer"},
      {{false, "", ""}, "read", unsaved, nullptr, "CRData.WriteProperty"},
      {{false, "anything", "other"}, "", "Password protection is disabled.|64|Hedgerow", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    const std::string before = text.text;
    text.failing = c.failing;
    log.entries.clear();
    EXPECT_EQ(ApplyProtectionChoice(store, c.choice), c.stored != nullptr);
    EXPECT_EQ(dialogs.shown.back(), c.shown);
    EXPECT_EQ(log.entries.empty() ? "" : log.entries[0].source, c.logged);
    text.failing.clear();
    EXPECT_EQ(text.text == before, c.stored == nullptr);
    if (!c.stored) continue;
    // The login reads the store again once the settings dialog has closed.
    EXPECT_EQ(login.ProtectionRemoved(), !c.choice.enable);
    EXPECT_EQ(DecodePassword(AsText(store.ReadProperty(kStoredPassword))), c.stored);
  }
}

}  // namespace
}  // namespace app::protection
