// The portable parts of the file class: path rules, its texts, the access
// list of new folders and the image header reader.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "shared/files/file_messages.h"
#include "shared/files/file_paths.h"
#include "shared/files/folder_acl.h"
#include "shared/files/pe_header.h"

namespace tk {
namespace {

TEST(MergeFolderAndSubobject, AddsOneBackslashBetweenAndLeavesTheChildAsItStands) {
  EXPECT_EQ(MergeFolderAndSubobject("C:\\a", "b.txt"), "C:\\a\\b.txt");
  EXPECT_EQ(MergeFolderAndSubobject("C:\\a\\", "b.txt"), "C:\\a\\b.txt");
  EXPECT_EQ(MergeFolderAndSubobject("", "b.txt"), "b.txt");
  EXPECT_EQ(MergeFolderAndSubobject("C:\\a", "\\b"), "C:\\a\\\\b");
}

TEST(LongPathPrefix, GoesOnceBeforeDriveAndServerPathsAndNeverBeforeOthers) {
  // A path, with the prefix where it goes, and whether it takes one.
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"C:\\a\\b", "\\\\?\\C:\\a\\b", true}, {"z:\\", "\\\\?\\z:\\", true}, {"C:/a", "C:/a", true},
      {"\\\\server\\share\\f", "\\\\?\\UNC\\server\\share\\f", true}, {"//server/share", "//server/share", true},
      {"\\\\?\\C:\\a", "\\\\?\\C:\\a", false}, {"", "", false}, {"a\\b", "a\\b", false}, {"..\\b", "..\\b", false},
      {"\\root", "\\root", false}, {"/root", "/root", false}, {"C:rel", "C:rel", false}, {"\\\\", "\\\\", false},
      {"\\\\.\\COM1", "\\\\.\\COM1", false}, {"//./COM1", "//./COM1", false},
  };
  for (const auto& [path, prefixed, takes] : cases) {
    EXPECT_EQ(WithLongPathPrefix(path), prefixed) << path;
    EXPECT_EQ(TakesLongPathPrefix(path), takes) << path;
  }
}

TEST(ParentToCreate, ClimbsOneLevelAndStopsBelowTheDriveRootOrServerShare) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"\\\\?\\C:\\x\\y\\z", "\\\\?\\C:\\x\\y"}, {"\\\\?\\C:\\x\\y\\", "\\\\?\\C:\\x"}, {"C:\\x\\y", "C:\\x"},
      {"\\\\?\\C:\\x\\", std::nullopt}, {"C:\\x", std::nullopt}, {"x", std::nullopt}, {"", std::nullopt},
      {"\\\\?\\UNC\\srv\\share\\x", "\\\\?\\UNC\\srv\\share"}, {"\\\\?\\UNC\\srv\\share", std::nullopt},
      {"\\\\srv\\share\\x", "\\\\srv\\share"}, {"\\\\srv\\share", std::nullopt},
  };
  for (const auto& [folder, parent] : cases) EXPECT_EQ(ParentToCreate(folder), parent) << folder;
}

TEST(PlanCopy, IntoAFolderKeepsTheNameToANameTakesItAndNeedsABackslash) {
  // The source, where to copy it, and the copy: its source|destination, "" when there is none.
  const std::array<const char*, 3> cases[] = {
      {"C:\\a\\dir\\", "D:\\b\\", "C:\\a\\dir|D:\\b\\dir"}, {"file.txt", "D:\\b\\", ""}, {"dir\\", "D:\\b\\", ""},
      {"C:\\a\\f.txt", "D:\\b\\g.txt", "C:\\a\\f.txt|D:\\b\\g.txt"},
  };
  for (const auto& [source, copyTo, expected] : cases) {
    const auto plan = PlanCopy(source, copyTo);
    EXPECT_EQ(plan ? plan->source + "|" + plan->destination : "", expected) << source;
  }
}

TEST(IsSameOrInside, ComparesWholeComponents) {
  EXPECT_TRUE(IsSameOrInside("C:\\a", "C:\\a"));
  EXPECT_TRUE(IsSameOrInside("C:\\a\\", "C:\\a"));
  EXPECT_TRUE(IsSameOrInside("C:\\a\\b\\c", "C:\\a\\"));
  EXPECT_TRUE(IsSameOrInside("C:\\a", "C:\\"));
  EXPECT_FALSE(IsSameOrInside("C:\\ab", "C:\\a"));
  EXPECT_FALSE(IsSameOrInside("C:\\a", "C:\\a\\b"));
}

TEST(RootKindOf, FindsEverySpellingOfARoot) {
  using enum RootKind;
  const std::pair<const char*, RootKind> cases[] = {
      {"C:\\", Drive}, {"c:/", Drive}, {"C:\\.\\a\\..\\..\\.", Drive}, {"C:\\...", Drive}, {"\\", Drive},
      {"\\\\?\\C:\\", Drive}, {"\\\\.\\C:\\a\\..", Drive}, {"\\??\\C:\\", Drive}, {"\\\\server\\share\\", Share},
      {"\\\\?\\UNC\\server\\share", Share}, {"\\\\?\\Volume{0b1f1a2c-0000-0000-0000-100000000000}\\", Device},
      {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1", Device}, {"\\\\.\\", Device}, {"\\\\.\\C:\\a\\..\\..", Device},
      {"C:\\a", None}, {"C:\\a\\b\\..", None}, {"C:", None}, {"C:a", None}, {"a\\..\\..", None}, {"\\a", None},
      {"\\\\?\\C:\\a", None}, {"\\\\server\\share\\a", None}, {"\\\\?\\UNC\\server\\share\\a", None},
      {"\\\\?\\Volume{0b1f1a2c-0000-0000-0000-100000000000}\\a", None},
      {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\a", None},
  };
  for (const auto& [path, kind] : cases) EXPECT_EQ(RootKindOf(path), kind) << path;
  EXPECT_TRUE(IsFileNamePattern("*.txt"));
  for (const char* mask : {"sub\\*.txt", "sub/*.txt"}) EXPECT_FALSE(IsFileNamePattern(mask)) << mask;
}

TEST(CreateWithParents, CreatesEveryMissingLevelWithoutRecursionOrReportsTheOneItCannot) {
  // A file system of folders only: creating needs the parent.
  std::set<std::string> existing{"\\\\?\\C:"};
  std::size_t calls = 0;
  const auto create = [&](const std::string& path) -> unsigned long {
    ++calls;
    if (existing.count(path) != 0) return 183;  // already exists
    if (path == "\\\\?\\C:\\bad") return 5;  // access denied
    if (existing.count(path.substr(0, path.rfind('\\'))) == 0) return 3;  // path not found
    existing.insert(path);
    return 0;
  };
  std::string deep = "\\\\?\\C:";
  for (int level = 0; level < 2000; ++level) deep += "\\d";
  EXPECT_EQ(CreateWithParents(deep, create), 0u);
  EXPECT_EQ(calls, 3999u);  // up until one can be made, then down
  EXPECT_EQ(CreateWithParents(deep, create), 183u);
  existing = {"\\\\?\\C:"};
  EXPECT_EQ(CreateWithParents("\\\\?\\C:\\bad\\x\\y", create), 3u);
  EXPECT_EQ(existing.size(), 1u);
}

TEST(FileMessages, QuoteThePathAndEndTheSystemMessageOnce) {
  EXPECT_EQ(InvalidPath("C:"), "Invalid path: 'C:'");
  EXPECT_EQ(InvalidFolder("C:"), "Invalid folder:'C:'");
  EXPECT_EQ(InvalidFileOrFolder("a"), "Invalid FileOrFolder: 'a'");
  EXPECT_EQ(InvalidCopySource("abcd"), "Invalid Folder: 'abcd'");
  EXPECT_EQ(FileTooLarge("C:\\big.bin"), "File too large to load as bytes (2 GB or more): 'C:\\big.bin'.");
  // A delete failure follows the system message directly.
  EXPECT_EQ(DeleteFailed("Access is denied. ", "C:\\old.bak"), "Access is denied. ('C:\\old.bak')");
  const std::string start = "Cannot copy file 'a\\s' to 'b\\d'. ";
  for (const std::string message : {"Not found", "Not found.", "Not found. "})
    EXPECT_EQ(CopyFailed("a\\s", "b\\d", message), start + (message == "Not found." ? message : "Not found. "));
}

TEST(WorldFolderAcl, HasTheHeaderAndTwoWorldEntries) {
  const FolderAcl expected = {
      // ACL: revision 2, size 92, two entries.
      0x02, 0x00, 0x5C, 0x00, 0x02, 0x00, 0x00, 0x00,
      // Allowed, object-inherit + inherit-only, 20 bytes, mask 0xF0010000, S-1-1-0.
      0x00, 0x09, 0x14, 0x00, 0x00, 0x00, 0x01, 0xF0,
      0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
      // Allowed, container-inherit, 20 bytes, mask 0xF0010000, S-1-1-0; zeros after.
      0x00, 0x02, 0x14, 0x00, 0x00, 0x00, 0x01, 0xF0,
      0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(WorldFolderAcl(), expected);
}

// A DOS header pointing at NT headers at `offset`, for the given machine.
std::vector<std::uint8_t> Image(std::uint32_t offset, std::uint16_t machine, std::size_t size = 512) {
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

// A 64- or 32-bit image sets its flag, another machine neither; what is no
// whole image header is refused with its cause.
TEST(ReadMachineType, SetsTheFlagOfItsMachineOrRejectsWhatIsNoWholeImageHeader) {
  auto wrongSignature = Image(128, 0x8664);
  wrongSignature[130] = 1;
  const struct {
    const char* name;
    std::vector<std::uint8_t> head;
    const char* cause;
    bool is32 = false, is64 = false;
  } cases[] = {
      {"x64", Image(128, 0x8664), "", false, true},
      {"x86", Image(128, 0x014C), "", true, false},
      {"arm64", Image(128, 0xAA64), ""},
      {"empty", {}, "Cannot load file."},
      {"text", std::vector<std::uint8_t>(200, 'a'), "Invalid file."},
      {"short", Image(128, 0x8664, 87), "Invalid file."},
      {"pointer 0", Image(0, 0x8664), "Cannot find IMAGE_NT_HEADERS."},
      {"pointer 5001", Image(5001, 0x8664), "Cannot find IMAGE_NT_HEADERS."},
      {"wrong signature", wrongSignature, "Invalid IMAGE_NT_HEADERS."},
      // The signature and the file header need 24 bytes.
      {"short of fields", Image(128, 0x8664, 128 + 23), "Invalid IMAGE_NT_HEADERS."},
  };
  for (const auto& c : cases) {
    const MachineType type = ReadMachineType(c.head);
    EXPECT_EQ(type.falseCause, c.cause) << c.name;
    EXPECT_EQ(type.ok, *c.cause == '\0') << c.name;
    EXPECT_EQ(type.is32Bit, c.is32) << c.name;
    EXPECT_EQ(type.is64Bit, c.is64) << c.name;
  }
}

}  // namespace
}  // namespace tk
