#include "shared/system_message.h"

#include <gtest/gtest.h>

namespace tk {
namespace {

TEST(SystemMessageText, IsOneLineWithBlanksFoldedInOnePassAndCodeZeroDependsOnTheVistaFlag) {
  EXPECT_EQ(CleanSystemMessage("Access is denied.\r\n"), "Access is denied. ");
  // A single pass: four blanks become two.
  EXPECT_EQ(CleanSystemMessage("a    b"), "a  b");
  EXPECT_EQ(ErrorTextOf(5, true, "Access is denied. "), "Access is denied. ");
  EXPECT_EQ(ErrorTextOf(0, true, "ignored"), "Undefined Vista error.");
  EXPECT_EQ(ErrorTextOf(0, false, "ignored"), "Undefined error.");
}

}  // namespace
}  // namespace tk
