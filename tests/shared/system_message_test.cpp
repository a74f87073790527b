#include "shared/system_message.h"

#include <gtest/gtest.h>

namespace tk {
namespace {

TEST(CleanSystemMessage, JoinsLinesAndFoldsDoubleBlanksOnce) {
  EXPECT_EQ(CleanSystemMessage("Access is denied.\r\n"), "Access is denied. ");
  EXPECT_EQ(CleanSystemMessage("a\r\nb"), "a b");
  // A single pass: four blanks become two, three become two.
  EXPECT_EQ(CleanSystemMessage("a    b"), "a  b");
  EXPECT_EQ(CleanSystemMessage("a \r\nb"), "a  b");
  EXPECT_EQ(CleanSystemMessage(""), "");
}

TEST(ErrorTextOf, CodeZeroDependsOnTheVistaFlag) {
  EXPECT_EQ(ErrorTextOf(5, true, "Access is denied. "), "Access is denied. ");
  EXPECT_EQ(ErrorTextOf(0, true, "ignored"), "Undefined Vista error.");
  EXPECT_EQ(ErrorTextOf(0, false, "ignored"), "Undefined error.");
}

}  // namespace
}  // namespace tk
