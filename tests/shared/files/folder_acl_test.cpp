#include "shared/files/folder_acl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(WorldFolderAcl, HasTheHeaderAndTwoWorldEntries) {
  const tk::FolderAcl acl = tk::WorldFolderAcl();
  const std::vector<std::uint8_t> expected = {
      // ACL: revision 2, size 92, two entries.
      0x02, 0x00, 0x5C, 0x00, 0x02, 0x00, 0x00, 0x00,
      // Allowed, object-inherit + inherit-only, 20 bytes, mask 0xF0010000, S-1-1-0.
      0x00, 0x09, 0x14, 0x00, 0x00, 0x00, 0x01, 0xF0,
      0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
      // Allowed, container-inherit, 20 bytes, mask 0xF0010000, S-1-1-0.
      0x00, 0x02, 0x14, 0x00, 0x00, 0x00, 0x01, 0xF0,
      0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00};
  ASSERT_EQ(acl.size(), 92u);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), acl.begin()));
  EXPECT_TRUE(std::all_of(acl.begin() + 48, acl.end(), [](std::uint8_t b) { return b == 0; }));
}

}  // namespace
