// The access list new folders get: open to everybody, inherited below.
#pragma once

#include <array>
#include <cstdint>

namespace tk {

// An ACL (revision 2, 92 bytes declared) with two access-allowed entries for
// the world SID S-1-1-0, mask 0xF0010000: the first (flags 0x09) for files
// inside the folder, the second (flags 0x02) for the folder and its subfolders.
using FolderAcl = std::array<std::uint8_t, 92>;
FolderAcl WorldFolderAcl() noexcept;

}  // namespace tk
