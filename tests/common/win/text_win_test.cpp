#include "common/win/text_win.h"

#include <gtest/gtest.h>

#include "common/win/result.h"

namespace {

using hg::win::AnsiToWide;
using hg::win::WideToAnsi;

TEST(SystemCodePage, RoundTripsWhatItCanRepresentEmbeddedZerosToo) {
  EXPECT_EQ(WideToAnsi(L""), "");
  EXPECT_EQ(AnsiToWide(""), L"");
  EXPECT_EQ(WideToAnsi(L"plain\r\n\ttext"), "plain\r\n\ttext");
  EXPECT_EQ(AnsiToWide("plain\r\n\ttext"), L"plain\r\n\ttext");
  const std::string high = WideToAnsi(L"caf\u00e9");
  EXPECT_EQ(AnsiToWide(high), L"caf\u00e9");
  const std::string bytes("a\0b", 3);
  EXPECT_EQ(AnsiToWide(bytes), std::wstring(L"a\0b", 3));
  EXPECT_EQ(WideToAnsi(std::wstring(L"a\0b", 3)), bytes);
}

TEST(SystemCodePage, UsesTheProcessAnsiCodePage) {
  if (::GetACP() != 1252) GTEST_SKIP() << "code page " << ::GetACP();
  EXPECT_EQ(WideToAnsi(L"\u00e9\u20ac"), "\xE9\x80");
  EXPECT_EQ(AnsiToWide("\xE9\x80"), L"\u00e9\u20ac");
}

TEST(SystemCodePage, ReplacesCharactersItLacks) {
  const std::string ansi = WideToAnsi(L"a\u4e2db");
  ASSERT_EQ(ansi.size(), 3u);
  EXPECT_EQ(ansi.front(), 'a');
  EXPECT_EQ(ansi.back(), 'b');
  EXPECT_NE(AnsiToWide(ansi), L"a\u4e2db");
}

}  // namespace
