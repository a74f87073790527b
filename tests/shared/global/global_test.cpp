#include "shared/global/system_info.h"
#include "shared/global/text_encoders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tk {
namespace {

using namespace std::literals;

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::string Decoded(std::string_view text) { return Text(Base64DecodeB(text)); }

TEST(TextEncoders, EachRowsInputGivesItsOutput) {
  // 57 bytes "x", one full line.
  const std::string line = "eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4";
  const struct {
    std::string (*encoder)(std::string_view);
    std::string input;
    std::string expected;
  } rows[] = {
      {SQLEncode, "O'Brien's \"x\"", "O''Brien''s \"x\""},
      {SQLDecode, "O''Brien'''", "O'Brien''"},  // pairs from the left, the odd one stays
      {XMLEncode, "a&b \"c\" <d> 'e'", "a&amp;b &quot;c&quot; &lt;d&gt; &apos;e&apos;"},
      // "&amp;" is resolved first, so a reference decodes twice.
      {XMLDecode, "&amp;lt;&quot;&lt;&gt;&apos;&amp;", "<\"<>'&"},
      // The last bytes are packed right-aligned.
      {Base64EncodeB, "abcd", "YWJjBk=="},
      {Base64EncodeB, "\xFF\xFF", "P//="},
      // Base64Encode breaks after every 57 input bytes, also at the end;
      // Base64EncodeB only where more follows.
      {Base64Encode, std::string(57, 'x'), line + "\r\n"},
      {Base64Encode, std::string(58, 'x'), line + "\r\nB4=="},
      {Base64EncodeB, std::string(57, 'x'), line},
      {Base64EncodeB, std::string(58, 'x'), line + "\r\nB4=="},
      // Decoding reads the last group partly or padded, skips blanks and line
      // breaks and gives 0 for what foreign characters feed.
      {Decoded, " \r\n", ""},
      {Decoded, "+/09", "\xFB\xFD="},
      {Decoded, "Y*Jj", "\0\0c"s},
      {Decoded, "Bh==YWJj", "\x06\0\0abc"s},  // padding in the middle is a foreign character
      {Decoded, "//==", "\0"s},                // a one-byte form whose value does not fit a byte
      {Decoded, "///=", "\0\xFF"s},
      {Decoded, "YWJjGFi", "abcab"},
      {Decoded, "Bh", "a"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.encoder(row.input), row.expected) << row.input;
}

TEST(TextEncoders, URLEncodeFollowsTheTableBelow256AndWritesCodePointsFrom256AsUtf8) {
  const char16_t lone[] = {0xD800, u'a', 0xDC00};
  const struct {
    std::u16string_view text;
    std::string_view expected;
  } rows[] = {
      {u"a b/c\0d"sv, "a%20b%2Fc%00d"},
      {u"!$'()*,-.:;=@_~", "!$'()*,-.:;=@_~"},
      {u"\"#%&+<>?[\\]^`{|}\x7F", "%22%23%25%26%2B%3C%3E%3F%5B%5C%5D%5E%60%7B%7C%7D%7F"},
      // Latin-1 codes outside the escape list stay as characters.
      {u"\u00E9\u0080\u00FF", "\u00E9\u0080\u00FF"},
      {u"\u0098\u00A0\u00BB", "%98%A0%BB"},
      {u"\u0100\u07FF\u20AC", "%C4%80%DF%BF%E2%82%AC"},
      {u"\U0001F600", "%F0%9F%98%80"},
      {std::u16string_view(lone, 3), "%EF%BF%BDa%EF%BF%BD"},
  };
  for (const auto& row : rows) EXPECT_EQ(URLEncode(row.text), row.expected) << row.expected;
}

// "%10" goes before "%1"; a replacement that holds a lower number is
// replaced again, one that holds a higher number is not.
TEST(TextEncoders, FormatStringReplacesFromTheHighestNumberDown) {
  EXPECT_EQ(FormatString("%1%10", {"one", "b", "c", "d", "e", "f", "g", "h", "i", "ten"}), "oneten");
  EXPECT_EQ(FormatString("%2", {"one", "[%1]"}), "[one]");
  EXPECT_EQ(FormatString("%1", {"[%2]", "two"}), "[%2]");
}

TEST(TextEncoders, LongArraysAreLittleEndianWithoutTrailingBytesAndAGuidHasTheRegistryForm) {
  EXPECT_EQ(ByteArrayToLongArray({0xFF, 0xFF, 0xFF, 0xFF}), (std::vector<std::int32_t>{-1}));
  EXPECT_EQ(LongArrayToByteArray({0x04030201, -2}), (std::vector<std::uint8_t>{1, 2, 3, 4, 0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ByteArrayToLongArray({1, 0, 0, 0, 9, 9, 9}), (std::vector<std::int32_t>{1}));
  EXPECT_EQ(GuidText(0x0A1B2C3D, 0x00EF, 0x0123, {0x04, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x01}),
            "{0A1B2C3D-00EF-0123-0456-789ABCDEF001}");
}

TEST(SystemInfoTexts, NameTheProcessorTheVersionsAndTheTranslation) {
  EXPECT_EQ(CpuTypeText(586, 6, 0x0F0B), "Intel Pentium Family 6 Model 15 Stepping 11");
  EXPECT_EQ(CpuTypeText(386, 3, 0), "Intel 386");
  EXPECT_EQ(CpuTypeText(486, 4, 0), "Intel 486");
  EXPECT_EQ(CpuTypeText(4000, 0, 0), "MIPS R4000");
  EXPECT_EQ(CpuTypeText(21064, 0, 0), "DEC Alpha 21064");
  EXPECT_EQ(CpuTypeText(8664, 6, 0x0F0B), "(unknown)");
  EXPECT_EQ(WindowsVersionText(2, 6, 2, 9200, ""), "Platform: Windows NT. Version: 6.2.9200. ");
  EXPECT_EQ(WindowsVersionText(1, 4, 10, 2222, "A"), "Platform: Windows 95. Version: 4.10.2222. A");
  EXPECT_EQ(WindowsVersionText(0, 3, 1, 0, ""), "Platform: . Version: 3.1.0. ");
  // Four unsigned parts; the translation's language, then its code page.
  EXPECT_EQ(FileVersionText(0xFFFF0000, 0x0001FFFF), "65535.0.1.65535");
  EXPECT_EQ(TranslationText(0x0000, 0xFFFF), "0000FFFF");
}

}  // namespace
}  // namespace tk
