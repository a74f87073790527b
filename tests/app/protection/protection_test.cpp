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
    if (failReads) throw Failure(5, "Access is denied.");
    return text;
  }
  void Write(const std::string& written) override {
    if (failWrites) throw Failure(5, "Access is denied.");
    text = written;
  }
  std::string text;
  bool failReads = false;
  bool failWrites = false;
};

class Protection : public app::test::RecordingTest {
 protected:
  void Protect(const std::string& password) {
    ASSERT_TRUE(store.WriteProperties(
        {{kProtectionEnabled, Setting::Boolean(true)}, {kStoredPassword, Setting::Text(EncodePassword(password))}}));
  }

  MemoryText text;
  CRData store{text};
  LoginModel login{store};
};

std::string StoredText(const tk::PropertyList& bag) {
  const auto bytes = tk::Serialize(bag);
  return tk::Base64EncodeB(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

tk::PropertyList BagOf(const std::string& text) { return tk::Parse(tk::Base64DecodeB(text)); }

TEST(Password, IsStoredReversedBetweenVaryingFillersAndComesBackWhateverItsCharacters) {
  EXPECT_TRUE(std::regex_match(EncodePassword(" ab "), std::regex("b[0-9A-F]a[0-9A-F]")));
  const std::string fortyKs(40, 'k');
  EXPECT_TRUE(std::regex_match(EncodePassword(fortyKs), std::regex("(k[0-9A-F]){40}")));
  EXPECT_NE(EncodePassword(fortyKs), EncodePassword(fortyKs));
  EXPECT_EQ(DecodePassword(" b3aF "), "ab");  // as earlier versions stored it
  for (const std::string& password :
       {std::string(), std::string("p"), std::string("Pässwörd Ωμέγα 𝄞 密码"), std::string(10000, 'x')}) {
    EXPECT_EQ(DecodePassword(EncodePassword(password)), password) << password.substr(0, 20);
  }
  EXPECT_EQ(MaskedText(" p\xC3\xA4\xF0\x9D\x84\x9E "), "*****");
  EXPECT_EQ(MaskedText(""), "");
}

TEST_F(Protection, TheStoreReadsNothingStoredAsEmptyAndMovesARewrittenNameToTheEnd) {
  EXPECT_EQ(store.ReadProperty("PPEnabled", Setting::Boolean(false)), Setting::Empty());
  ASSERT_TRUE(store.WriteProperty("PPEnabled", Setting::Boolean(false)));
  EXPECT_EQ(store.ReadProperty("PP", Setting::Text("default")), Setting::Text("default"));
  ASSERT_TRUE(store.WriteProperty("PP", Setting::Text("b3a7")));
  ASSERT_TRUE(store.WriteProperty("ppenabled", Setting::Boolean(true)));

  const tk::PropertyList bag = BagOf(text.text);
  EXPECT_EQ(*bag.Find("n1"), Setting::Text("PP"));
  EXPECT_EQ(*bag.Find("n2"), Setting::Text("ppenabled"));
  EXPECT_EQ(*bag.Find("c"), Setting::Signed(tk::ValueKind::Int32, 2));
  EXPECT_EQ(store.ReadProperty("PPENABLED"), Setting::Boolean(true));
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(Protection, ACorruptStoreReadsAsEmptyAndTheNextWriteReplacesIt) {
  auto entry = [](tk::PropertyList bag, const char* name, Setting value) {
    bag.Set(name, std::move(value));
    return bag;
  };
  tk::PropertyList whole;
  whole.Set("n1", Setting::Text("PP"));
  whole.Set("v1", Setting::Text("b3a7"));
  whole.Set("c", Setting::Signed(tk::ValueKind::Int32, 1));
  std::string truncated = StoredText(whole);
  truncated.resize(truncated.size() - 8);

  const struct {
    const char* what;
    std::string stored;
  } cases[] = {
      {"not Base64", "<<not a bag>>"},
      {"truncated", truncated},
      {"count beyond the entries", StoredText(entry(whole, "c", Setting::Signed(tk::ValueKind::Int32, 2)))},
      {"negative count", StoredText(entry(whole, "c", Setting::Signed(tk::ValueKind::Int32, -1)))},
      {"count as text", StoredText(entry(whole, "c", Setting::Text("1")))},
      {"name not text", StoredText(entry(whole, "n1", Setting::Boolean(true)))},
      {"a name twice", StoredText(entry(entry(entry(whole, "n2", Setting::Text("pp")), "v2", Setting::Empty()), "c",
                                        Setting::Signed(tk::ValueKind::Int32, 2)))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    text.text = c.stored;
    log.entries.clear();
    EXPECT_EQ(store.ReadProperty("PP", Setting::Text("default")), Setting::Text("default"));
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].source, "CMyPropertyBag.Let_Contents");
    EXPECT_EQ(log.entries[0].severity, Severity::kInternalError);

    ASSERT_TRUE(store.WriteProperty("PPEnabled", Setting::Boolean(true)));
    const tk::PropertyList rewritten = BagOf(text.text);
    EXPECT_EQ(*rewritten.Find("c"), Setting::Signed(tk::ValueKind::Int32, 1));
    EXPECT_EQ(*rewritten.Find("n1"), Setting::Text("PPEnabled"));
  }
}

// A failed write is reported, and a store that cannot be read is not written
// over with a new one: either way the store stays as it was.
TEST_F(Protection, AStoreThatCannotBeWrittenOrReadIsReportedAndLeftAsItWas) {
  Protect("Old");
  const std::string before = text.text;
  text.failWrites = true;
  EXPECT_FALSE(store.WriteProperty("PPEnabled", Setting::Boolean(false)));
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].source, "CRData.WriteCurrentContainer");
  EXPECT_EQ(log.entries[0].description, "Access is denied.");
  EXPECT_FALSE(ApplyProtectionChoice(store, {false, "", ""}));
  EXPECT_EQ(dialogs.shown.back(), "The password protection settings could not be saved.|48|Hedgerow");

  text.failWrites = false;
  text.failReads = true;
  EXPECT_FALSE(store.WriteProperty("PPEnabled", Setting::Boolean(false)));
  EXPECT_EQ(log.entries.back().source, "CRData.WriteProperty");
  EXPECT_EQ(text.text, before);
}

TEST(StoredValues, ReadAsBooleanOrTextOrRefused) {
  EXPECT_FALSE(AsBoolean(Setting::Empty()));
  EXPECT_TRUE(AsBoolean(Setting::Boolean(true)));
  EXPECT_TRUE(AsBoolean(Setting::Signed(tk::ValueKind::Int16, -1)));
  EXPECT_FALSE(AsBoolean(Setting::Signed(tk::ValueKind::Int32, 0)));
  EXPECT_THROW(AsBoolean(Setting::Text("yes")), Failure);
  EXPECT_EQ(AsText(Setting::Empty()), "");
  EXPECT_THROW(AsText(Setting::Boolean(true)), Failure);
}

// A refusal is logged with the typed text masked and shown; OK grants, and
// Change opens the settings, only for the right password with blanks around.
TEST_F(Protection, OnlyTheRightPasswordLogsInOrOpensTheSettingsAndARefusalIsLoggedMasked) {
  Protect("Secret");
  const struct {
    bool change;
    const char* typed;
    const char* masked;  // nullptr: the right password
  } attempts[] = {
      {false, "secret", "******"},
      {false, "", ""},
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
    EXPECT_EQ(log.entries[0].number, static_cast<std::int32_t>(0x80040688u));
    EXPECT_EQ(log.entries[0].description, std::string("Access denied. Invalid password.  \"") + attempt.masked + "\"");
    EXPECT_EQ(log.entries[0].severity, Severity::kInternalError);
    EXPECT_EQ(log.entries[0].source, attempt.change ? "FPwdLogin.cmdChange_Click" : "FPwdLogin.cmdOK_Click");
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Access denied. Invalid password. |48|Hedgerow"});
  }
  EXPECT_TRUE(log.entries.empty());

  LoginModel changing(store);
  EXPECT_FALSE(changing.ProtectionRemoved());
  ASSERT_TRUE(store.WriteProperty(kProtectionEnabled, Setting::Boolean(false)));
  EXPECT_TRUE(changing.ProtectionRemoved());
  EXPECT_TRUE(changing.granted());

  // A store without a password, or with one of another type, accepts none.
  text.text.clear();
  ASSERT_TRUE(store.WriteProperty(kProtectionEnabled, Setting::Boolean(true)));
  EXPECT_FALSE(LoginModel(store).Ok(""));
  ASSERT_TRUE(store.WriteProperty(kStoredPassword, Setting::Boolean(true)));
  EXPECT_FALSE(LoginModel(store).Ok("True"));
  EXPECT_EQ(dialogs.shown.back(), "Access denied. Type mismatch|48|Hedgerow");
}

TEST_F(Protection, SettingsNeedAPasswordTypedTwiceOnlyToEnableAndStoreItTrimmed) {
  const struct {
    ProtectionChoice choice;
    const char* cause;  // empty when valid
  } cases[] = {
      {{false, "", "other"}, ""},
      {{true, "", ""}, "Please type a password. "},
      {{true, "   ", "   "}, "Please type a password. "},
      {{true, "Secret", "secret"}, "Passwords don't match. Please re-type passwords."},
      {{true, " Secret", "Secret  "}, ""},
  };
  for (const auto& c : cases) {
    std::string cause = "stale";
    EXPECT_EQ(ValidateSettings(c.choice, cause), *c.cause == '\0') << c.choice.password;
    EXPECT_EQ(cause, c.cause);
  }

  EXPECT_FALSE(ApplyProtectionChoice(store, {true, "a", "b"}));
  EXPECT_EQ(dialogs.shown.back(), "Passwords don't match. Please re-type passwords.|48|Hedgerow");
  EXPECT_TRUE(text.text.empty());
  EXPECT_TRUE(ApplyProtectionChoice(store, {true, " New pass ", "New pass"}));
  EXPECT_TRUE(ProtectionEnabled(store));
  EXPECT_EQ(DecodePassword(AsText(store.ReadProperty(kStoredPassword))), "New pass");
  EXPECT_EQ(dialogs.shown.back(), "Password protection is enabled.|64|Hedgerow");

  EXPECT_TRUE(ApplyProtectionChoice(store, {false, "anything", ""}));
  EXPECT_FALSE(ProtectionEnabled(store));
  EXPECT_EQ(store.ReadProperty(kStoredPassword), Setting::Text(""));
  EXPECT_EQ(dialogs.shown.back(), "Password protection is disabled.|64|Hedgerow");
}

}  // namespace
}  // namespace app::protection
