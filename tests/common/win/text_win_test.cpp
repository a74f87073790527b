#include "common/win/text_win.h"

#include <gtest/gtest.h>

#include "common/win/result.h"

namespace {

using hg::win::AnsiToWide;
using hg::win::WideToAnsi;

TEST(SystemCodePage, RoundTripsWhatItCanRepresentEmbeddedZerosTooAndReplacesWhatItLacks) {
  for (const std::wstring& text : {std::wstring(), std::wstring(L"plain\r\n\ttext"), std::wstring(L"caf\u00e9"),
                                   std::wstring(L"a\0b", 3)}) {
    EXPECT_EQ(AnsiToWide(WideToAnsi(text)), text);
  }
  EXPECT_EQ(WideToAnsi(L"plain\r\n\ttext"), "plain\r\n\ttext");
  EXPECT_EQ(WideToAnsi(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
  const std::string ansi = WideToAnsi(L"a\u4e2db");
  ASSERT_EQ(ansi.size(), 3u);
  EXPECT_EQ(ansi.front(), 'a');
  EXPECT_EQ(ansi.back(), 'b');
  EXPECT_NE(AnsiToWide(ansi), L"a\u4e2db");
}

TEST(SystemCodePage, UsesTheProcessAnsiCodePage) {
  if (::GetACP() != 1252) GTEST_SKIP() << "code page " << ::GetACP();
  EXPECT_EQ(WideToAnsi(L"\u00e9\u20ac"), "\xE9\x80");
  EXPECT_EQ(AnsiToWide("\xE9\x80"), L"\u00e9\u20ac");
}

}  // namespace
