#include "shared/global/text_encoders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tk {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Every byte value appears, in an order unlike the alphabet's.
std::string Pattern(std::size_t length) {
  std::string bytes;
  for (std::size_t i = 0; i < length; ++i) bytes += static_cast<char>((i * 167 + 13) & 0xFF);
  return bytes;
}

std::string WithoutLineBreaks(std::string text) {
  std::erase(text, '\r');
  std::erase(text, '\n');
  return text;
}

TEST(SQLAndXMLEncoding, EscapeQuotesAndTheAmpersandFirstAndDecodeAReferenceTwice) {
  EXPECT_EQ(SQLEncode("O'Brien's \"x\""), "O''Brien''s \"x\"");
  EXPECT_EQ(SQLDecode("O''Brien"), "O'Brien");
  EXPECT_EQ(SQLDecode("'''"), "''");  // pairs from the left, the odd one stays
  EXPECT_EQ(SQLEncode(""), "");
  EXPECT_EQ(XMLEncode("a&b \"c\" <d> 'e'"), "a&amp;b &quot;c&quot; &lt;d&gt; &apos;e&apos;");
  EXPECT_EQ(XMLEncode("&lt;"), "&amp;lt;");
  EXPECT_EQ(XMLDecode("&amp;lt;"), "<");
  EXPECT_EQ(XMLDecode("&quot;&lt;&gt;&apos;&amp;"), "\"<>'&");
  EXPECT_EQ(XMLDecode("&amp;amp;"), "&amp;");
}

TEST(FormatString, ReplacesFromTheHighestNumberDownLeavingPlaceholdersWithoutParameters) {
  EXPECT_EQ(FormatString("Cannot open %1 (%2)", {"a.txt", "denied"}),
            "Cannot open a.txt (denied)");
  const std::vector<std::string> ten = {"one", "b", "c", "d", "e", "f", "g", "h", "i", "ten"};
  EXPECT_EQ(FormatString("%1%10", ten), "oneten");
  // With fewer parameters "%10" is still "%1" followed by "0".
  EXPECT_EQ(FormatString("%1%10", {"x"}), "xx0");
  EXPECT_EQ(FormatString("%1 %2 %3", {"a"}), "a %2 %3");
  EXPECT_EQ(FormatString("%1", {}), "%1");
  EXPECT_EQ(FormatString("%2", {"one", "[%1]"}), "[one]");
  EXPECT_EQ(FormatString("%1", {"[%2]", "two"}), "[%2]");
}

TEST(GuidText, IsTheRegistryForm) {
  const std::string text =
      GuidText(0x0A1B2C3D, 0x00EF, 0x0123, {0x04, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x01});
  EXPECT_EQ(text, "{0A1B2C3D-00EF-0123-0456-789ABCDEF001}");
  EXPECT_EQ(text.size(), 38u);
}

TEST(URLEncode, FollowsTheTableBelow256AndWritesCodePointsFrom256AsUtf8) {
  EXPECT_EQ(URLEncode(u"a b/c"), "a%20b%2Fc");
  EXPECT_EQ(URLEncode(u"\t"), "%09");
  EXPECT_EQ(URLEncode(std::u16string(1, u'\0')), "%00");
  EXPECT_EQ(URLEncode(u"!$'()*,-.:;=@_~"), "!$'()*,-.:;=@_~");
  EXPECT_EQ(URLEncode(u"\"#%&+<>?[\\]^`{|}\x7F"),
            "%22%23%25%26%2B%3C%3E%3F%5B%5C%5D%5E%60%7B%7C%7D%7F");
  // Latin-1 codes outside the escape list stay as characters, not UTF-8 escapes.
  EXPECT_EQ(URLEncode(u"\u00E9\u0080\u00FF"), "\u00E9\u0080\u00FF");
  EXPECT_EQ(URLEncode(u"\u0098\u00A0\u00BB"), "%98%A0%BB");
  EXPECT_EQ(URLEncode(u"\u0100"), "%C4%80");
  EXPECT_EQ(URLEncode(u"\u07FF"), "%DF%BF");
  EXPECT_EQ(URLEncode(u"\u20AC"), "%E2%82%AC");
  EXPECT_EQ(URLEncode(u"\uAC00"), "%EA%B0%80");
  EXPECT_EQ(URLEncode(u"\U0001F600"), "%F0%9F%98%80");
  const char16_t lone[] = {0xD800, u'a', 0xDC00};
  EXPECT_EQ(URLEncode(std::u16string_view(lone, 3)), "%EF%BF%BDa%EF%BF%BD");
}

TEST(Base64, PacksTheLastBytesRightAligned) {
  EXPECT_EQ(Base64EncodeB(""), "");
  EXPECT_EQ(Base64EncodeB("a"), "Bh==");
  EXPECT_EQ(Base64EncodeB("ab"), "GFi=");
  EXPECT_EQ(Base64EncodeB("abc"), "YWJj");
  EXPECT_EQ(Base64EncodeB("abcd"), "YWJjBk==");
  EXPECT_EQ(Base64EncodeB("\xFF"), "D/==");
  EXPECT_EQ(Base64EncodeB("\xFF\xFF"), "P//=");
  EXPECT_EQ(Base64EncodeB("Man is"), "TWFuIGlz");
}

TEST(Base64Encode, BreaksAfterEvery57InputBytesAlsoAtTheEndButBOnlyWhenMoreFollow) {
  EXPECT_EQ(Base64Encode(std::string(56, 'x')).find('\r'), std::string::npos);
  const std::string full = Base64Encode(std::string(57, 'x'));
  EXPECT_EQ(full.size(), 78u);
  EXPECT_EQ(full.substr(76), "\r\n");
  const std::string more = Base64Encode(std::string(58, 'x'));
  EXPECT_EQ(more.substr(76, 2), "\r\n");
  EXPECT_EQ(more.substr(78), "B4==");  // the 58th byte, "x"
  EXPECT_EQ(Base64Encode(std::string(114, 'x')).size(), 2 * 78u);
  EXPECT_EQ(Base64EncodeB(std::string(57, 'x')).size(), 76u);
  const std::string two = Base64EncodeB(std::string(58, 'x'));
  EXPECT_EQ(two.size(), 76u + 2 + 4);
  EXPECT_EQ(two.substr(76, 2), "\r\n");
  const std::string three = Base64EncodeB(std::string(171, 'x'));
  EXPECT_EQ(three.size(), 3 * 76u + 2 * 2);
  EXPECT_NE(three.back(), '\n');
}

TEST(Base64DecodeB, ReadsTheVariantsLastGroupPartlyOrPaddedSkippingBlanksAndZeroingForeignCharacters) {
  EXPECT_EQ(Text(Base64DecodeB("Bh==")), "a");
  EXPECT_EQ(Text(Base64DecodeB("GFi=")), "ab");
  EXPECT_EQ(Text(Base64DecodeB("YWJjBk==")), "abcd");
  EXPECT_EQ(Base64DecodeB("D/=="), Bytes("\xFF"));
  EXPECT_TRUE(Base64DecodeB("").empty());
  EXPECT_TRUE(Base64DecodeB(" \r\n").empty());
  EXPECT_EQ(Text(Base64DecodeB(" YW\r\nJj\nBk =\r=")), "abcd");
  EXPECT_EQ(Base64DecodeB("Y*Jj"), Bytes(std::string("\0\0c", 3)));
  // Padding in the middle is a foreign character there.
  EXPECT_EQ(Base64DecodeB("Bh==YWJj"), Bytes(std::string("\x06\0\0abc", 6)));
  // A one-byte form whose value does not fit a byte.
  EXPECT_EQ(Base64DecodeB("//=="), Bytes(std::string("\0", 1)));
  EXPECT_EQ(Base64DecodeB("///="), Bytes(std::string("\0\xFF", 2)));
  EXPECT_EQ(Text(Base64DecodeB("YWJjB")), "abc");
  EXPECT_EQ(Text(Base64DecodeB("YWJjBh")), "abca");
  EXPECT_EQ(Text(Base64DecodeB("YWJjGFi")), "abcab");
  EXPECT_EQ(Text(Base64DecodeB("Bh")), "a");
  EXPECT_TRUE(Base64DecodeB("Y").empty());
}

TEST(Base64RoundTrip, EveryLengthUpTo200BothWays) {
  for (std::size_t length = 0; length <= 200; ++length) {
    const std::string bytes = Pattern(length);
    EXPECT_EQ(Text(Base64DecodeB(Base64EncodeB(bytes))), bytes) << "length " << length;
    EXPECT_EQ(Text(Base64DecodeB(Base64Encode(bytes))), bytes) << "length " << length;
    const std::string text = WithoutLineBreaks(Base64EncodeB(bytes));
    EXPECT_EQ(WithoutLineBreaks(Base64Encode(bytes)), text);
    // Decoded text encodes back.
    EXPECT_EQ(WithoutLineBreaks(Base64EncodeB(Text(Base64DecodeB(text)))), text) << "length " << length;
  }
}

TEST(LongArrays, ConvertLittleEndianAndTrailingBytesHaveNoElement) {
  EXPECT_EQ(ByteArrayToLongArray({1, 0, 0, 0, 2, 0, 0, 0}), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(ByteArrayToLongArray({0xFF, 0xFF, 0xFF, 0xFF}), (std::vector<std::int32_t>{-1}));
  EXPECT_EQ(LongArrayToByteArray({0x04030201, -2}),
            (std::vector<std::uint8_t>{1, 2, 3, 4, 0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ByteArrayToLongArray({1, 0, 0, 0, 9, 9, 9}), (std::vector<std::int32_t>{1}));
  EXPECT_TRUE(ByteArrayToLongArray({9, 9, 9}).empty());
  EXPECT_TRUE(LongArrayToByteArray({}).empty());
}

}  // namespace
}  // namespace tk
