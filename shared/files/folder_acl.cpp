// The access list new folders get, byte by byte (little-endian fields).
#include "shared/files/folder_acl.h"

#include <cstddef>

namespace tk {
namespace {

constexpr std::uint8_t kAclRevision = 2;
constexpr std::uint8_t kAccessAllowed = 0;
constexpr std::uint16_t kEntrySize = 20;
constexpr std::uint32_t kAllPlusDelete = 0xF0010000;  // generic all/execute/write/read, delete
constexpr std::uint8_t kFilesInside = 0x09;           // object-inherit, inherit-only
constexpr std::uint8_t kFolderAndBelow = 0x02;        // container-inherit

class Writer {
 public:
  explicit Writer(FolderAcl& bytes) : bytes_(bytes) {}
  void Byte(std::uint8_t value) { bytes_[at_++] = value; }
  void Word(std::uint16_t value) {
    Byte(static_cast<std::uint8_t>(value));
    Byte(static_cast<std::uint8_t>(value >> 8));
  }
  void Dword(std::uint32_t value) {
    Word(static_cast<std::uint16_t>(value));
    Word(static_cast<std::uint16_t>(value >> 16));
  }

 private:
  FolderAcl& bytes_;
  std::size_t at_ = 0;
};

void WorldEntry(Writer& out, std::uint8_t flags) {
  out.Byte(kAccessAllowed);
  out.Byte(flags);
  out.Word(kEntrySize);
  out.Dword(kAllPlusDelete);
  // S-1-1-0: revision 1, one sub-authority, authority 0-0-0-0-0-1, RID 0.
  out.Byte(1);
  out.Byte(1);
  for (std::uint8_t part : {0, 0, 0, 0, 0, 1}) out.Byte(part);
  out.Dword(0);
}

}  // namespace

FolderAcl WorldFolderAcl() noexcept {
  FolderAcl bytes{};
  Writer out(bytes);
  out.Byte(kAclRevision);
  out.Byte(0);
  out.Word(static_cast<std::uint16_t>(bytes.size()));
  out.Word(2);
  out.Word(0);
  WorldEntry(out, kFilesInside);
  WorldEntry(out, kFolderAndBelow);
  return bytes;
}

}  // namespace tk
