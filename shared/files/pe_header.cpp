// The machine type of a portable-executable image, from its first bytes.
#include "shared/files/pe_header.h"

namespace tk {
namespace {

constexpr std::size_t kMinimumHead = 88;
constexpr std::size_t kNtHeadersPointer = 60;  // e_lfanew
constexpr std::int32_t kMaximumNtHeadersOffset = 5000;
// The signature and the file header must lie within the bytes read.
constexpr std::size_t kNtFields = 24;
constexpr std::uint32_t kPeSignature = 0x00004550;
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

MachineType Failed(const char* cause) { return MachineType{false, false, false, cause}; }

}  // namespace

MachineType ReadMachineType(std::span<const std::uint8_t> head) {
  if (head.empty()) return Failed("Cannot load file.");
  if (head.size() < kMinimumHead || Read16(head, 0) != 0x5A4D) return Failed("Invalid file.");
  const auto offset = static_cast<std::int32_t>(Read32(head, kNtHeadersPointer));
  if (offset < 1 || offset > kMaximumNtHeadersOffset) {
    return Failed("Cannot find IMAGE_NT_HEADERS.");
  }
  const auto at = static_cast<std::size_t>(offset);
  if (at + kNtFields > head.size() || Read32(head, at) != kPeSignature) {
    return Failed("Invalid IMAGE_NT_HEADERS.");
  }
  const std::uint16_t machine = Read16(head, at + 4);
  return MachineType{true, machine == kMachineI386, machine == kMachineAmd64, {}};
}

}  // namespace tk
