#include "shared/files/pe_header.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A DOS header pointing at NT headers at `offset`, for the given machine.
std::vector<std::uint8_t> Image(std::uint32_t offset, std::uint16_t machine,
                                std::size_t size = 512) {
  std::vector<std::uint8_t> bytes(size);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[60 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
  if (offset >= 64 && std::size_t{offset} + 6 <= size) {
    bytes[offset] = 'P';
    bytes[offset + 1] = 'E';
    bytes[offset + 4] = static_cast<std::uint8_t>(machine);
    bytes[offset + 5] = static_cast<std::uint8_t>(machine >> 8);
  }
  return bytes;
}

TEST(ReadMachineType, SetsTheFlagOfA64Or32BitImageAndNeitherForOtherMachines) {
  const struct {
    std::uint16_t machine;
    bool is32, is64;
  } cases[] = {{0x8664, false, true}, {0x014C, true, false}, {0xAA64, false, false}};
  for (const auto& c : cases) {
    const tk::MachineType type = tk::ReadMachineType(Image(128, c.machine));
    EXPECT_TRUE(type.ok) << c.machine;
    EXPECT_EQ(type.is32Bit, c.is32) << c.machine;
    EXPECT_EQ(type.is64Bit, c.is64) << c.machine;
    EXPECT_EQ(type.falseCause, "") << c.machine;
  }
}

TEST(ReadMachineType, RejectsEmptyShortAndNonImageInput) {
  EXPECT_EQ(tk::ReadMachineType({}).falseCause, "Cannot load file.");
  const std::vector<std::uint8_t> text(200, 'a');
  EXPECT_EQ(tk::ReadMachineType(text).falseCause, "Invalid file.");
  EXPECT_EQ(tk::ReadMachineType(Image(128, 0x8664, 87)).falseCause, "Invalid file.");
}

TEST(ReadMachineType, RejectsNtHeaderPointersOutOfRange) {
  for (std::uint32_t offset : {0u, 5001u, 0xFFFFFFFFu}) {
    EXPECT_EQ(tk::ReadMachineType(Image(offset, 0x8664)).falseCause,
              "Cannot find IMAGE_NT_HEADERS.")
        << offset;
  }
}

TEST(ReadMachineType, RejectsAWrongSignature) {
  auto bytes = Image(128, 0x8664);
  bytes[130] = 1;
  EXPECT_EQ(tk::ReadMachineType(bytes).falseCause, "Invalid IMAGE_NT_HEADERS.");
}

TEST(ReadMachineType, EveryCutOfTheHeaderFailsCleanly) {
  const auto whole = Image(128, 0x8664, 128 + 24);
  ASSERT_TRUE(tk::ReadMachineType(whole).ok);
  for (std::size_t size = 0; size < whole.size(); ++size) {
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + size);
    const tk::MachineType type = tk::ReadMachineType(cut);
    EXPECT_FALSE(type.ok) << size;
    EXPECT_FALSE(type.falseCause.empty()) << size;
  }
  const std::vector<std::uint8_t> shortOfFields(whole.begin(), whole.end() - 1);
  EXPECT_EQ(tk::ReadMachineType(shortOfFields).falseCause, "Invalid IMAGE_NT_HEADERS.");
}

}  // namespace
