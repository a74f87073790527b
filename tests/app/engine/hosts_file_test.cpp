#include "app/engine/hosts_file.h"

#include <gtest/gtest.h>

#include <cctype>

namespace app::engine {
namespace {

std::string Same(std::string_view bytes) { return std::string(bytes); }

std::vector<std::string> Sites(std::string_view content) { return BlockedSites(content, Same); }

std::string Entry(const std::string& site) { return std::string(kEntryPrefix) + site + "\r\n"; }

TEST(ParseHostsLine, RecognisesOnlyLoopbackEntriesWithAName) {
  const struct {
    const char* line;
    const char* site;  // nullptr: not a block entry
  } cases[] = {
      {"127.0.0.1 localhost", nullptr},
      {"127.0.0.1      LocalHost", nullptr},
      {"127.0.0.1 localhost.localdomain", "localhost.localdomain"},
      {"# 127.0.0.1 alpha", nullptr},
      {"   #127.0.0.1 alpha", nullptr},
      {"0.0.0.0 alpha", nullptr},
      {"::1 alpha", nullptr},
      {"127.0.0.1\talpha", "alpha"},
      {"127.0.0.1 alpha beta", "alpha beta"},
      {"127.0.0.1 alpha # note", "alpha # note"},
      {"127.0.0.11 alpha", nullptr},
      {"127.0.0.10 alpha", "alpha"},
      {"127.0.0.1 a", "a"},
      {"127.0.0.1", nullptr},
      {"127.0.0.1      ", nullptr},
      {"  127.0.0.1   alpha  ", "alpha"},
      {"x 127.0.0.1 alpha", "alpha"},  // the address may stand anywhere in the line
      {"127.0.0.1.x alpha", "alpha"},
      {"\t# 127.0.0.1 alpha", nullptr},  // a comment, however indented
      {" \t #127.0.0.1 alpha", nullptr},
      {"", nullptr},
      {"127.0.0.1 a\x01" "b", nullptr},  // a control character: another tool's line
      {"127.0.0.1 ab\x7f", nullptr},
  };
  for (const auto& c : cases) {
    const auto site = ParseHostsLine(c.line);
    if (c.site) {
      ASSERT_TRUE(site.has_value()) << c.line;
      EXPECT_EQ(*site, c.site) << c.line;
    } else {
      EXPECT_FALSE(site.has_value()) << c.line;
    }
  }
}

TEST(ExtractHostName, SearchesTheSeparatorFromTheEighthCharacter) {
  EXPECT_EQ(ExtractHostName("1 3 5 7 9 name"), "9 name");
  EXPECT_EQ(ExtractHostName("1234567\tname "), "name");
  EXPECT_EQ(ExtractHostName("127.0.0.1"), "");
}

TEST(BlockedSites, KeepsFirstOccurrenceOncePerSiteWhateverTheLetterCase) {
  EXPECT_EQ(Sites("127.0.0.1 Alpha\r\n127.0.0.1 beta\r\n127.0.0.1 ALPHA\r\n"),
            (std::vector<std::string>{"Alpha", "beta"}));
}

TEST(BlockedSites, NamesEqualOnceTabsAreBlanksOrLettersFoldedAreOneSite) {
  EXPECT_EQ(Sites("127.0.0.1 a b\r\n127.0.0.1 A\tB\r\n127.0.0.1\tc\td\r\n127.0.0.1 C D\r\n"),
            (std::vector<std::string>{"a b", "c d"}));
  // Beyond ASCII the caller's decoding decides: 0xC9 and 0xE9 are É and é in
  // the Windows Latin code page.
  const auto latin = [](std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte == 0xC9) {
        out += "\xC3\x89";
      } else if (byte == 0xE9) {
        out += "\xC3\xA9";
      } else {
        out += c;
      }
    }
    return out;
  };
  EXPECT_EQ(BlockedSites("127.0.0.1 caf\xE9\r\n127.0.0.1 CAF\xC9\r\n127.0.0.1 cafe\r\n", latin),
            (std::vector<std::string>{"caf\xC3\xA9", "cafe"}));
}

TEST(BlockedSites, LongListsKeepFileOrderAcrossAsciiAndOtherNames) {
  std::string content;
  std::vector<std::string> expected;
  for (int i = 0; i < 60; ++i) {
    const std::string name = (i % 3 == 0 ? "caf\xC3\xA9-" : "site-") + std::to_string(i);
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    content += "127.0.0.1 " + name + "\r\n127.0.0.1 " + upper + "\r\n";
    expected.push_back(name);
  }
  EXPECT_EQ(Sites(content), expected);
}

TEST(BlockedSites, LineEndsAndBlankLinesDoNotMatter) {
  const std::vector<std::string> expected{"a.example", "b.example"};
  EXPECT_EQ(Sites("127.0.0.1 a.example\r\n\r\n127.0.0.1 b.example\r\n"), expected);
  EXPECT_EQ(Sites("127.0.0.1 a.example\n\n\n127.0.0.1 b.example"), expected);
  EXPECT_EQ(Sites("\r127.0.0.1 a.example\r\r127.0.0.1 b.example\r"), expected);
  EXPECT_TRUE(Sites("").empty());
}

TEST(BlockedSites, DecodesEachSiteThroughTheCaller) {
  const auto sites = BlockedSites("127.0.0.1 caf\xE9\r\n", [](std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
      if (static_cast<unsigned char>(c) == 0xE9) {
        out += "\xC3\xA9";
      } else {
        out += c;
      }
    }
    return out;
  });
  EXPECT_EQ(sites, (std::vector<std::string>{"caf\xC3\xA9"}));
}

TEST(ApplyBlockedContent, WorkedExample) {
  const std::string old = "# hosts\r\n127.0.0.1 localhost\r\n127.0.0.1 old\r\n\r\n";
  EXPECT_EQ(ApplyBlockedContent(old, {"alpha", "Beta"}),
            "# hosts\r\n127.0.0.1 localhost\r\n" + Entry("alpha") + Entry("Beta"));
}

TEST(ApplyBlockedContent, LayoutWithoutKeptLinesOrSites) {
  EXPECT_EQ(ApplyBlockedContent("127.0.0.1 old\r\n", {"a"}), "\r\n" + Entry("a"));
  EXPECT_EQ(ApplyBlockedContent("127.0.0.1 old\r\n", {}), "\r\n");
  EXPECT_EQ(ApplyBlockedContent("", {}), "\r\n");
  EXPECT_EQ(ApplyBlockedContent("# only\r\n\r\n\r\n", {}), "# only\r\n");
  EXPECT_EQ(ApplyBlockedContent("# no final break", {}), "# no final break\r\n");
  EXPECT_EQ(ApplyBlockedContent("# c\r\n", {"a", "a"}), "# c\r\n" + Entry("a") + Entry("a"));
}

TEST(ApplyBlockedContent, CrLfFilesKeepTheirBlankLinesInsideTheKeptPart) {
  EXPECT_EQ(ApplyBlockedContent("# a\r\n\r\n\r\n\r\n# b\r\n127.0.0.1 x\r\n# c", {}),
            "# a\r\n\r\n\r\n\r\n# b\r\n# c\r\n");
}

TEST(ApplyBlockedContent, LfAndCrRunsShortenToHalfRoundedUp) {
  // k line ends become ceil(k/2): one blank line goes, two become one.
  EXPECT_EQ(ApplyBlockedContent("# a\n\n# b\n\n\n# c\n", {}), "# a\r\n# b\r\n\r\n# c\r\n");
  EXPECT_EQ(ApplyBlockedContent("# a\r\r# b\r\r\r# c", {}), "# a\r\n# b\r\n\r\n# c\r\n");
}

TEST(ApplyBlockedContent, KeepsForeignLinesByteForByteInTheirPlaces) {
  const std::string foreign =
      "\xEF\xBB\xBF# utf-8 with a mark \xE2\x82\xAC\r\n"
      "\t10.0.0.1   intranet  \r\n"
      "# shift-jis \x82\xA0\x81\x40 and invalid utf-8 \xC0\xFF\r\n"
      "127.0.0.1 blocked\r\n"
      "0.0.0.0 other \x80\r\n";
  EXPECT_EQ(ApplyBlockedContent(foreign, {"n"}),
            "\xEF\xBB\xBF# utf-8 with a mark \xE2\x82\xAC\r\n"
            "\t10.0.0.1   intranet  \r\n"
            "# shift-jis \x82\xA0\x81\x40 and invalid utf-8 \xC0\xFF\r\n"
            "0.0.0.0 other \x80\r\n" +
                Entry("n"));
}

TEST(HostsFile, AnEntryNamingAControlCharacterIsKeptAsSomeoneElsesLine) {
  const std::string foreign("# a\0b\r\n127.0.0.1 c\0d\r\n127.0.0.1 e\x1b\r\n127.0.0.1 x\r\n", 49);
  EXPECT_EQ(Sites(foreign), std::vector<std::string>{"x"});
  EXPECT_EQ(ApplyBlockedContent(foreign, {"n"}),
            std::string("# a\0b\r\n127.0.0.1 c\0d\r\n127.0.0.1 e\x1b\r\n", 36) + Entry("n"));
}

TEST(HostsFile, ATenMegabyteLineIsOrdinaryBytes) {
  const std::string huge(10 * 1024 * 1024, 'x');
  EXPECT_TRUE(Sites("#" + huge).empty());
  EXPECT_EQ(Sites("127.0.0.1 " + huge), std::vector<std::string>{huge});
  EXPECT_EQ(ApplyBlockedContent("#" + huge, {huge}), "#" + huge + "\r\n" + Entry(huge));
}

TEST(ApplyBlockedContent, ReadingAndApplyingWhatItWroteChangesNothing) {
  const std::string inputs[] = {
      "# hosts\n127.0.0.1   Ads.example\n\n\n127.0.0.1 ads.EXAMPLE\n127.0.0.1 localhost\n",
      "\r\r127.0.0.1 a b c\r# x\r",
      "127.0.0.1\tt\r\n\r\n\r\n# tail\r\n\r\n",
      "",
  };
  for (const std::string& input : inputs) {
    const std::string once = ApplyBlockedContent(input, Sites(input));
    EXPECT_EQ(ApplyBlockedContent(once, Sites(once)), once) << input;
  }
}

TEST(ApplyBlockedContent, RefusesSiteNamesWithControlCharacters) {
  const std::string injected = "x\r\n6.6.6.6 bank.example";
  for (const std::string& bad : {injected, std::string("a\nb"), std::string("a\0b", 3),
                                 std::string("a\x1f"), std::string("a\x7f")}) {
    try {
      ApplyBlockedContent("# kept\r\n", {"good", bad});
      ADD_FAILURE() << "accepted an unsafe name";
    } catch (const UnsafeSiteName& e) {
      EXPECT_EQ(e.site(), bad);
    }
  }
  EXPECT_STREQ(UnsafeSiteName(injected).what(),
               "The web site name \"x\\x0D\\x0A6.6.6.6 bank.example\" holds a control character "
               "and cannot be blocked.");
  EXPECT_NO_THROW(RequireSafeSiteNames({"caf\xC3\xA9", "a b", "\x80\xFF", "#x"}));
}

TEST(ApplyBlockedContent, RefusesSiteNamesItsEntriesWouldNotGiveBack) {
  // Each would be written as a line that reading keeps as someone else's.
  for (const std::string bad : {"", "  ", "localhost", "LocalHost", " a", "a "}) {
    try {
      ApplyBlockedContent("# kept\r\n", {"good", bad});
      ADD_FAILURE() << "accepted \"" << bad << "\"";
    } catch (const UnsafeSiteName& e) {
      EXPECT_EQ(e.site(), bad);
    }
  }
  EXPECT_STREQ(UnsafeSiteName("localhost").what(),
               "The web site name \"localhost\" cannot be blocked: its entry would not be read "
               "back as one.");
}

}  // namespace
}  // namespace app::engine
