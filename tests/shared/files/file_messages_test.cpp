#include "shared/files/file_messages.h"

#include <gtest/gtest.h>

namespace {

namespace messages = tk::file_messages;

TEST(FileMessages, QuoteThePath) {
  EXPECT_EQ(messages::InvalidPath("C:"), "Invalid path: 'C:'");
  EXPECT_EQ(messages::InvalidFolder("C:"), "Invalid folder:'C:'");
  EXPECT_EQ(messages::InvalidFileOrFolder("a"), "Invalid FileOrFolder: 'a'");
  EXPECT_EQ(messages::InvalidCopySource("abcd"), "Invalid Folder: 'abcd'");
  EXPECT_EQ(messages::FileTooLarge("C:\\big.bin"),
            "File too large to load as bytes (2 GB or more): 'C:\\big.bin'.");
}

TEST(FileMessages, DeleteFailureFollowsTheSystemMessageDirectly) {
  EXPECT_EQ(messages::DeleteFailed("Access is denied. ", "\\\\?\\C:\\data\\old.bak"),
            "Access is denied. ('\\\\?\\C:\\data\\old.bak')");
}

TEST(FileMessages, CopyFailureEndsTheSystemMessageOnce) {
  const std::string start = "Cannot copy file 'a\\s' to 'b\\d'. ";
  EXPECT_EQ(messages::CopyFailed("a\\s", "b\\d", "Not found"), start + "Not found. ");
  EXPECT_EQ(messages::CopyFailed("a\\s", "b\\d", "Not found."), start + "Not found.");
  EXPECT_EQ(messages::CopyFailed("a\\s", "b\\d", "Not found. "), start + "Not found. ");
}

}  // namespace
