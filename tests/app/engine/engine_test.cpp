// The engine's portable rules: the failure convention, the hosts file, the
// changes a command makes to a list.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "app/engine/failure.h"
#include "app/engine/hosts_file.h"
#include "app/engine/site_changes.h"
#include "app/engine/user_dialogs.h"
#include "common/text/utf.h"
#include "tests/app/engine/recording_log.h"

namespace app::engine {
namespace {

using Names = std::vector<std::string>;

using FailureTest = test::RecordingTest;

// Every exception becomes a failure with a number and a description. A repair
// that fails is ignored: what it repairs is raised. (The lists' test follows a
// failed block command through every pattern.) Only a message box without a
// title of its own takes the product's name.
TEST_F(FailureTest, EveryExceptionGetsANumberAFailedRepairIsIgnoredAndABoxKeepsItsOwnTitle) {
  const auto of = [](auto thrown) { return FailureOf(std::make_exception_ptr(thrown)); };
  EXPECT_EQ(of(std::bad_alloc()).number(), 7);
  EXPECT_EQ(of(UnsafeSiteName("a\nb")).number(), 5);  // its text is the lists' refused row's
  EXPECT_EQ(of(std::runtime_error("odd")).description(), "odd");

  const auto failingRepair = [] {
    AppMsgBox("repairing", kOkCancel, "r");
    throw Failure(1, "ignored");
  };
  Trapped([&] { RepairAndRaise(Failure(70, "d"), "s", kCannotApplyBlocking, "t ", failingRepair); },
          [](const Failure& f) { AppMsgBox(f.description(), kOkCancel, "Own title"); });
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"repairing|1|r", "t d|1|Own title"}));
}

// The Windows Latin code page, as far as these tests use it (É and é).
std::string Latin(std::string_view bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  return hg::text::Utf16ToUtf8(std::u16string(data, data + bytes.size()));
}

std::string Entry(const std::string& site) { return std::string(kEntryPrefix) + site + "\r\n"; }

// A line of 10 MB.
const std::string kHuge(10 * 1024 * 1024, 'x');

// Which lines block a site, and the sites a file blocks.
TEST(BlockedSites, KeepFileOrderAndFirstOccurrencesOfNamesEqualBarTabsAndLetterCase) {
  // Past the names read ahead, ASCII and other names mixed.
  std::string longList;
  Names longExpected;
  for (int i = 0; i < 60; ++i) {
    const std::string number = std::to_string(i), name = (i % 3 == 0 ? "caf\xE9-" : "site-") + number;
    longList += "127.0.0.1 " + name + "\r\n127.0.0.1 " + (i % 3 == 0 ? "CAF\xC9-" : "SITE-") + number + "\r\n";
    longExpected.push_back(Latin(name));
  }
  const std::pair<std::string, Names> cases[] = {
      // One line: is it a block entry, and of which name.
      {"127.0.0.1      LocalHost", {}},
      {"127.0.0.1 localhost.localdomain", {"localhost.localdomain"}},
      {"\t# 127.0.0.1 alpha", {}},  // a comment, however indented
      {"0.0.0.0 alpha", {}},
      {"127.0.0.1\talpha", {"alpha"}},
      {"127.0.0.1 alpha # note", {"alpha # note"}},
      {"127.0.0.11 alpha", {}},
      {"127.0.0.10 alpha", {"alpha"}},
      {"127.0.0.1 a", {"a"}},
      {"127.0.0.1", {}},
      {"  127.0.0.1   alpha  ", {"alpha"}},
      {"x 127.0.0.1 alpha", {"alpha"}},  // the address may stand anywhere in the line
      {"127.0.0.1 a\001b", {}},  // a control character: another tool's line
      {"127.0.0.1 ab\x7f", {}},
      // Files.
      {"127.0.0.1 Alpha\r\n\r\n127.0.0.1 beta\r\n127.0.0.1 ALPHA\r\n", {"Alpha", "beta"}},
      {"127.0.0.1 a b\r\n127.0.0.1 A\tB\r\n127.0.0.1\tc\td\r\n127.0.0.1 C D\r\n", {"a b", "c d"}},
      {"127.0.0.1 caf\xE9\r\n127.0.0.1 CAF\xC9\r\n127.0.0.1 cafe\r\n", {"caf\xC3\xA9", "cafe"}},
      {longList, longExpected},
      {"127.0.0.1 a.example\n\n\n127.0.0.1 b.example", {"a.example", "b.example"}},
      {"", {}},
      {std::string("# a\0b\r\n127.0.0.1 c\0d\r\n127.0.0.1 e\x1b\r\n127.0.0.1 x\r\n", 49), {"x"}},
      {"#" + kHuge, {}},
      {"127.0.0.1 " + kHuge, {kHuge}},
  };
  for (const auto& [content, expected] : cases) {
    EXPECT_EQ(BlockedSites(content, Latin), expected) << content.substr(0, 40);
  }
  EXPECT_EQ(ParseHostsLine("127.0.0.1 a\tb"), "a b");
  EXPECT_EQ(ParseHostsLine("# 127.0.0.1 a"), std::nullopt);
  EXPECT_EQ(ExtractHostName("1 3 5 7 9 name"), "9 name");  // the separator from the eighth character on
  EXPECT_EQ(ExtractHostName("1234567\tname "), "name");
  EXPECT_EQ(ExtractHostName("127.0.0.1"), "");
}

TEST(ApplyBlockedContent, KeepsOtherLinesByteForByteAndRefusesNamesItsEntriesWouldNotGiveBack) {
  const std::string foreign =
      "\xEF\xBB\xBF# utf-8 with a mark \xE2\x82\xAC\r\n"
      "\t10.0.0.1   intranet  \r\n"
      "# shift-jis \x82\xA0\x81\x40 and invalid utf-8 \xC0\xFF\r\n";
  const std::tuple<std::string, Names, std::string> cases[] = {
      {"# hosts\r\n127.0.0.1 localhost\r\n127.0.0.1 old\r\n\r\n", {"alpha", "Beta"},
       "# hosts\r\n127.0.0.1 localhost\r\n" + Entry("alpha") + Entry("Beta")},
      {"127.0.0.1 old\r\n", {"a"}, "\r\n" + Entry("a")},
      {"", {}, "\r\n"},
      {"# only\r\n\r\n\r\n", {}, "# only\r\n"},
      {"# no final break", {}, "# no final break\r\n"},
      {"# c\r\n", {"a", "a"}, "# c\r\n" + Entry("a") + Entry("a")},
      // CR LF files keep their blank lines; runs of k LF or CR become ceil(k/2).
      {"# a\r\n\r\n\r\n\r\n# b\r\n127.0.0.1 x\r\n# c", {}, "# a\r\n\r\n\r\n\r\n# b\r\n# c\r\n"},
      {"# a\n\n# b\n\n\n# c\n", {}, "# a\r\n# b\r\n\r\n# c\r\n"},
      {"# a\r\r# b\r\r\r# c", {}, "# a\r\n# b\r\n\r\n# c\r\n"},
      {foreign + "127.0.0.1 blocked\r\n0.0.0.0 other \x80\r\n", {"n"}, foreign + "0.0.0.0 other \x80\r\n" + Entry("n")},
      {std::string("# a\0b\r\n127.0.0.1 c\0d\r\n127.0.0.1 e\x1b\r\n127.0.0.1 x\r\n", 49), {"n"},
       std::string("# a\0b\r\n127.0.0.1 c\0d\r\n127.0.0.1 e\x1b\r\n", 36) + Entry("n")},
      {"#" + kHuge, {kHuge}, "#" + kHuge + "\r\n" + Entry(kHuge)},
  };
  for (const auto& [content, sites, expected] : cases) {
    SCOPED_TRACE(content.substr(0, 40) + " with " + std::to_string(sites.size()) + " sites");
    EXPECT_EQ(ApplyBlockedContent(content, sites), expected);
    // Applying the same sites to what it wrote changes nothing.
    EXPECT_EQ(ApplyBlockedContent(expected, sites), expected);
  }

  // Each name refused would inject a line (the lists' test refuses CR LF), or
  // be written as one that reading keeps as someone else's.
  const std::string control = "\" holds a control character and cannot be blocked.";
  const std::string unread = "\" cannot be blocked: its entry would not be read back as one.";
  const std::pair<std::string, std::string> refused[] = {
      {std::string("a\0b", 3), "a\\x00b" + control},
      {"a\x1f", "a\\x1F" + control},
      {"a\x7f", "a\\x7F" + control},
      {"", unread},
      {"LocalHost", "LocalHost" + unread},
      {" a", " a" + unread},
  };
  for (const auto& [site, message] : refused) {
    SCOPED_TRACE(message);
    try {
      ApplyBlockedContent("# kept\r\n", {"good", site});
      ADD_FAILURE() << "accepted \"" << site << "\"";
    } catch (const UnsafeSiteName& e) {
      EXPECT_EQ(e.site(), site);
      EXPECT_EQ(e.what(), "The web site name \"" + message);
    }
  }
  EXPECT_NO_THROW(RequireSafeSiteNames({"caf\xC3\xA9", "a b", "\x80\xFF", "#x"}));
}

TEST(SiteChanges, AreMadeToTheListAnotherProgramLeft) {
  // What, the operations ("+site" added, "-site" removed, in order), the list now, the list they make.
  const std::tuple<const char*, Names, Names, Names> cases[] = {
      {"added by both, in another case", {"+b.example"}, {"a", "B.example"}, {"a", "B.example"}},
      {"removed here, another case there", {"-a"}, {"A", "c"}, {"c"}},
      {"removed by both", {"-a"}, {"b"}, {"b"}},
      {"added then removed here", {"+a", "-A"}, {"a", "b"}, {"b"}},
      {"removed then added here", {"-a", "+A"}, {"b"}, {"b", "A"}},
      {"added twice here", {"+d", "+D"}, {}, {"d"}},
      {"added in their order", {"+z", "+y"}, {"m"}, {"m", "z", "y"}},
      {"non-ASCII letter case", {"-CAF\xC3\x89"}, {"caf\xC3\xA9", "k"}, {"k"}},
  };
  for (const auto& [what, operations, current, expected] : cases) {
    SiteChanges changes;
    for (const std::string& operation : operations) {
      (changes.*(operation[0] == '+' ? &SiteChanges::Add : &SiteChanges::Remove))(operation.substr(1));
    }
    EXPECT_EQ(changes.AppliedTo(current), expected) << what;
  }
  EXPECT_EQ(ListHash({"a", "b"}), ListHash({"b", "a"}));
  EXPECT_NE(ListHash({"a", "b"}), ListHash({"a", "B"}));
  EXPECT_NE(ListHash({"a"}), ListHash({"a", "a"}));
  EXPECT_NE(ListHash({}), ListHash({""}));
}

}  // namespace
}  // namespace app::engine
