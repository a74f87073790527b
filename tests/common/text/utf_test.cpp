#include "common/text/utf.h"

#include <gtest/gtest.h>

namespace hg::text {
namespace {

TEST(Utf, RoundTripsEveryPlaneAndReplacesInvalidUtf8AndLoneSurrogates) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a é € 😀 z
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, (std::u16string{u'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, u'z'}));
  EXPECT_EQ(Utf16ToUtf8(wide), text);

  // Invalid UTF-8 becomes replacement characters: a stray continuation byte,
  // an overlong slash, a truncated 3-byte sequence at the end.
  EXPECT_EQ(Utf8ToUtf16("a\x80" "b"), (std::u16string{u'a', 0xFFFD, u'b'}));
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), (std::u16string{0xFFFD}));
  EXPECT_EQ(Utf8ToUtf16("x\xE2\x82"), (std::u16string{u'x', 0xFFFD}));
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), (std::u16string{0xFFFD}));  // encoded surrogate
  // Lone surrogates too.
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'a'}), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00}), "\xEF\xBF\xBD");
}

TEST(Utf, FoldCaseMapsCapitalsOfCommonScripts) {
  EXPECT_EQ(FoldCase("WWW.Example.COM"), "www.example.com");
  EXPECT_EQ(FoldCase("\xC3\x89" "COLE"), "\xC3\xA9" "cole");           // École
  EXPECT_EQ(FoldCase("\xD0\x9C\xD0\x98\xD0\xA0"), "\xD0\xBC\xD0\xB8\xD1\x80");  // МИР
  EXPECT_EQ(FoldCase("\xC3\x97"), "\xC3\x97");                       // × has no case
  EXPECT_EQ(FoldCase("\xC5\xB9"), "\xC5\xBA");                       // Ź
}

}  // namespace
}  // namespace hg::text
