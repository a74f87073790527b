#include "shared/files/file_messages.h"

#include <gtest/gtest.h>

namespace tk {
namespace {

TEST(FileMessages, QuoteThePathAndEndTheSystemMessageOnce) {
  EXPECT_EQ(InvalidPath("C:"), "Invalid path: 'C:'");
  EXPECT_EQ(InvalidFolder("C:"), "Invalid folder:'C:'");
  EXPECT_EQ(InvalidFileOrFolder("a"), "Invalid FileOrFolder: 'a'");
  EXPECT_EQ(InvalidCopySource("abcd"), "Invalid Folder: 'abcd'");
  EXPECT_EQ(FileTooLarge("C:\\big.bin"), "File too large to load as bytes (2 GB or more): 'C:\\big.bin'.");
  // A delete failure follows the system message directly.
  EXPECT_EQ(DeleteFailed("Access is denied. ", "\\\\?\\C:\\data\\old.bak"),
      "Access is denied. ('\\\\?\\C:\\data\\old.bak')");
  const std::string start = "Cannot copy file 'a\\s' to 'b\\d'. ";
  for (const std::string message : {"Not found", "Not found.", "Not found. "}) {
    EXPECT_EQ(CopyFailed("a\\s", "b\\d", message), start + (message == "Not found." ? message : "Not found. "));
  }
}

}  // namespace
}  // namespace tk
