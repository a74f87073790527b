#include "app/protection/settings_store.h"

#include <gtest/gtest.h>

#include <string>

#include "shared/global/text_encoders.h"
#include "tests/app/protection/protection_fixture.h"

namespace app::protection::test {
namespace {

std::string StoredText(const tk::PropertyList& bag) {
  const auto bytes = tk::Serialize(bag);
  return tk::Base64EncodeB(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

tk::PropertyList BagOf(const std::string& text) {
  const auto bytes = tk::Base64DecodeB(text);
  return tk::Parse(bytes);
}

using SettingsStore = ProtectionTest;

TEST_F(SettingsStore, NothingStoredReadsEmptyNotTheDefault) {
  EXPECT_EQ(store.ReadProperty("PPEnabled", Setting::Boolean(false)), Setting::Empty());
  EXPECT_EQ(store.ReadProperty("PP", Setting::Text("x")), Setting::Empty());
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(SettingsStore, RewritingANameMovesItToTheEndAndNamesIgnoreCase) {
  ASSERT_TRUE(store.WriteProperty("PPEnabled", Setting::Boolean(false)));
  EXPECT_EQ(store.ReadProperty("PP", Setting::Text("default")), Setting::Text("default"));
  ASSERT_TRUE(store.WriteProperty("PP", Setting::Text("b3a7")));
  ASSERT_TRUE(store.WriteProperty("ppenabled", Setting::Boolean(true)));

  const tk::PropertyList bag = BagOf(text.text);
  ASSERT_EQ(bag.size(), 5u);
  EXPECT_EQ(*bag.Find("n1"), Setting::Text("PP"));
  EXPECT_EQ(*bag.Find("v1"), Setting::Text("b3a7"));
  EXPECT_EQ(*bag.Find("n2"), Setting::Text("ppenabled"));
  EXPECT_EQ(*bag.Find("v2"), Setting::Boolean(true));
  EXPECT_EQ(*bag.Find("c"), Setting::Signed(tk::ValueKind::Int32, 2));
  EXPECT_EQ(store.ReadProperty("PPENABLED"), Setting::Boolean(true));
}

TEST_F(SettingsStore, ACorruptStoreReadsAsEmptyAndTheNextWriteReplacesIt) {
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
  std::string otherVersion = StoredText(whole);
  otherVersion[6] = 'C';  // the version field

  const struct {
    const char* what;
    std::string stored;
  } cases[] = {
      {"not Base64", "<<not a bag>>"},
      {"truncated", truncated},
      {"another version", otherVersion},
      {"count beyond the entries",
       StoredText(entry(whole, "c", Setting::Signed(tk::ValueKind::Int32, 2)))},
      {"negative count", StoredText(entry(whole, "c", Setting::Signed(tk::ValueKind::Int32, -1)))},
      {"count as text", StoredText(entry(whole, "c", Setting::Text("1")))},
      {"name not text", StoredText(entry(whole, "n1", Setting::Boolean(true)))},
      {"a name twice",
       StoredText(entry(entry(entry(whole, "n2", Setting::Text("pp")), "v2", Setting::Empty()), "c",
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

TEST_F(SettingsStore, AFailedWriteIsReportedAndLeavesTheStoreAsItWas) {
  ASSERT_TRUE(store.WriteProperty("PP", Setting::Text("b3a7")));
  const std::string before = text.text;

  text.failWrites = true;
  EXPECT_FALSE(store.WriteProperty("PPEnabled", Setting::Boolean(true)));
  EXPECT_EQ(text.text, before);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].source, "CRData.WriteCurrentContainer");
  EXPECT_EQ(log.entries[0].description, "Access is denied.");

  // A store that cannot be read is not written over with a new one.
  text.failWrites = false;
  text.failReads = true;
  EXPECT_FALSE(store.WriteProperty("PPEnabled", Setting::Boolean(true)));
  EXPECT_EQ(text.text, before);
  EXPECT_EQ(log.entries.back().source, "CRData.WriteProperty");
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

}  // namespace
}  // namespace app::protection::test
