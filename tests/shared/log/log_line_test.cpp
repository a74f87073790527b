#include "shared/log/log_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LogLine, SeveritiesHaveTheirLabels) {
  EXPECT_EQ(tk::SeverityLabel(0), "Error");
  EXPECT_EQ(tk::SeverityLabel(5), "Trace");
  for (int outside : {6, -1}) EXPECT_EQ(tk::SeverityLabel(outside), "") << outside;
}

TEST(LogLine, JoinsFiveFieldsWithTabsAndEndsWithCrLf) {
  // An unknown severity keeps its empty field; the error number is upper-case
  // hexadecimal without leading zeros (none for 0); a description's own tabs
  // and line breaks are written as they are.
  EXPECT_EQ(tk::FormatLogLine("t", 7, 255, "d", ""), "t\t\tFF\td\t\r\n");
  EXPECT_EQ(tk::FormatLogLine("t", 0, 0, "a\tb\r\nc", "s"), "t\tError\t\ta\tb\r\nc\ts\r\n");
}

// Up to 1024 characters (not bytes) whole, longer ones cut to both ends.
TEST(LogLine, MainLogDescriptionKeepsUpTo1024CharactersAndCutsLongerOnesToBothEnds) {
  std::string umlauts;
  for (int i = 0; i < 500; ++i) umlauts += "\xC3\xA4";
  for (const std::string& whole : {std::string(1024, 'x'), umlauts + umlauts + std::string(24, 'x')}) {
    EXPECT_EQ(tk::MainLogDescription(whole), whole);
  }
  EXPECT_EQ(tk::MainLogDescription(umlauts + std::string(25, 'm') + std::string(500, 'z')),
            umlauts + "..........." + std::string(500, 'z'));
}

}  // namespace
