#include "shared/global/system_message.h"

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

}  // namespace
}  // namespace tk
