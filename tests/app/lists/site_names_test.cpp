#include "app/lists/site_names.h"
#include "app/lists/site_list.h"

#include <gtest/gtest.h>

namespace app::lists {
namespace {

TEST(SiteListFindPrefix, FindsTheNextNameFromTheStartInAnyCaseAndWraps) {
  SiteList list;
  for (const char* name : {"alpha.example", "Beta.example", "\xC3\x84rger.example", "bravo.example"}) {
    list.Add(name);
  }
  list.Remove({list.Id(0)});  // the search sees the list as shown
  const struct {
    const char* prefix;
    std::size_t start;
    std::optional<std::size_t> found;
  } cases[] = {
      {"b", 0, 0},  {"B", 1, 2},   {"b", 3, 0},  {"BR", 0, 2}, {"\xC3\xA4r", 0, 1},
      {"a", 0, {}}, {"beta.example.", 0, {}}, {"", 2, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.prefix) + " from " + std::to_string(c.start));
    EXPECT_EQ(list.FindPrefix(c.prefix, c.start), c.found);
  }
  EXPECT_EQ(SiteList().FindPrefix("a", 0), std::nullopt);
}

TEST(NormalizeSiteName, KeepsTheHostInItsCaseAndIsIdempotent) {
  const struct {
    const char* typed;
    const char* site;
  } cases[] = {
      {"  https://Ads.Example.com/path/x?y  ", "Ads.Example.com"},
      {"ads.example.com:8080/", "ads.example.com:8080"},
      {"ftp:\\\\files.example\\dir", "files.example"},
      {"http://", ""},
      {"/only/a/path", ""},
      {"   ", ""},
      {" a b ", "a b"},
      {"x// y /z", "y"},
      {"\ttab.example", "\ttab.example"},  // only blanks are trimmed
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalizeSiteName(c.typed), c.site) << c.typed;
    EXPECT_EQ(NormalizeSiteName(NormalizeSiteName(c.typed)), c.site) << c.typed;
  }
  const std::string huge(10000, 'a');
  EXPECT_EQ(NormalizeSiteName("http://" + huge + "/p"), huge);
}

TEST(TypedSites, TrimsSkipsEmptyLinesAndKeepsTheFirstOfEachName) {
  const std::vector<std::string> expected{"alpha", "beta"};
  EXPECT_EQ(TypedSites("alpha\r\n\r\n   \r\nALPHA\r\n beta "), expected);
  EXPECT_EQ(TypedSites("alpha\n\n   \nALPHA\n beta "), expected);
  EXPECT_EQ(TypedSites("alpha\r\rALPHA\rbeta\r\n"), expected);
  EXPECT_TRUE(TypedSites("").empty());
  EXPECT_EQ(TypedSites("http://\n/p"), (std::vector<std::string>{"http://", "/p"}));
}

TEST(NamesText, ListsUpToTwentyNamesAndCountsTheRest) {
  std::vector<std::string> names;
  for (int i = 1; i <= 25; ++i) names.push_back("s" + std::to_string(i));
  const auto first = [&](std::size_t n) {
    return std::vector<std::string>(names.begin(), names.begin() + static_cast<long>(n));
  };
  EXPECT_EQ(NamesText(first(1)), "s1");
  EXPECT_EQ(NamesText(first(2)), "s1 and s2");
  EXPECT_EQ(NamesText(first(4)), "s1, s2, s3 and s4");
  EXPECT_NE(NamesText(first(20)).find("s18, s19 and s20"), std::string::npos);
  EXPECT_EQ(NamesText(first(20)).find("more"), std::string::npos);
  EXPECT_EQ(NamesText(first(21)),
            "s1, s2, s3, s4, s5, s6, s7, s8, s9, s10, s11, s12, s13, s14, s15, s16, s17, s18, "
            "s19, s20 and 1 more");
  EXPECT_NE(NamesText(names).find("s19, s20 and 5 more"), std::string::npos);
}

}  // namespace
}  // namespace app::lists
