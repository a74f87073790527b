#include "shared/files/file_paths.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace tk {
namespace {

TEST(MergeFolderAndSubobject, AddsOneBackslashBetweenAndLeavesTheChildAsItStands) {
  EXPECT_EQ(MergeFolderAndSubobject("C:\\a", "b.txt"), "C:\\a\\b.txt");
  EXPECT_EQ(MergeFolderAndSubobject("C:\\a\\", "b.txt"), "C:\\a\\b.txt");
  EXPECT_EQ(MergeFolderAndSubobject("", "b.txt"), "b.txt");
  EXPECT_EQ(MergeFolderAndSubobject("C:\\a", "\\b"), "C:\\a\\\\b");
}

TEST(LongPathPrefix, GoesOnceBeforeDriveAndServerPathsAndNeverBeforeOthers) {
  const struct {
    const char* path;
    const char* prefixed;
  } cases[] = {
      {"C:\\a\\b", "\\\\?\\C:\\a\\b"}, {"z:\\", "\\\\?\\z:\\"},
      {"\\\\?\\C:\\a", "\\\\?\\C:\\a"}, {"\\\\?\\UNC\\s\\x", "\\\\?\\UNC\\s\\x"},
      {"\\\\server\\share\\f", "\\\\?\\UNC\\server\\share\\f"},
      {"", ""}, {"a\\b", "a\\b"}, {"..\\b", "..\\b"}, {"\\root", "\\root"}, {"C:rel", "C:rel"},
      {"C:/a", "C:/a"}, {"\\\\.\\COM1", "\\\\.\\COM1"},
  };
  for (const auto& [path, prefixed] : cases) EXPECT_EQ(WithLongPathPrefix(path), prefixed) << path;
}

TEST(LongPathPrefix, IsTakenByAbsolutePathsWithEitherSeparator) {
  for (const char* path : {"C:\\a", "C:/a/b", "c:\\", "\\\\server\\share", "//server/share"}) {
    EXPECT_TRUE(TakesLongPathPrefix(path)) << path;
  }
  for (const char* path : {"", "a\\b", "..\\b", "\\root", "/root", "C:rel", "\\\\.\\COM1", "//./COM1",
                           "\\\\?\\C:\\a", "\\\\"}) {
    EXPECT_FALSE(TakesLongPathPrefix(path)) << path;
  }
}

TEST(ParentToCreate, ClimbsOneLevelAndStopsBelowTheDriveRootOrServerShare) {
  const struct {
    const char* folder;
    std::optional<std::string> parent;
  } cases[] = {
      {"\\\\?\\C:\\x\\y\\z", "\\\\?\\C:\\x\\y"}, {"\\\\?\\C:\\x\\y\\", "\\\\?\\C:\\x"}, {"C:\\x\\y", "C:\\x"},
      {"\\\\?\\C:\\x", std::nullopt}, {"\\\\?\\C:\\x\\", std::nullopt}, {"C:\\x", std::nullopt},
      {"x", std::nullopt}, {"", std::nullopt},
      {"\\\\?\\UNC\\srv\\share\\x", "\\\\?\\UNC\\srv\\share"}, {"\\\\?\\UNC\\srv\\share", std::nullopt},
      {"\\\\srv\\share\\x", "\\\\srv\\share"}, {"\\\\srv\\share", std::nullopt},
  };
  for (const auto& [folder, parent] : cases) EXPECT_EQ(ParentToCreate(folder), parent) << folder;
}

TEST(PlanCopy, IntoAFolderKeepsTheNameToANameTakesItAndNeedsABackslash) {
  const struct {
    const char* source;
    const char* copyTo;
    std::optional<std::pair<std::string, std::string>> plan;
  } cases[] = {
      {"C:\\a\\dir\\", "D:\\b\\", std::pair{"C:\\a\\dir", "D:\\b\\dir"}},
      {"C:\\a\\f.txt", "D:\\b\\g.txt", std::pair{"C:\\a\\f.txt", "D:\\b\\g.txt"}},
      {"file.txt", "D:\\b\\", std::nullopt},
      {"dir\\", "D:\\b\\", std::nullopt},
  };
  for (const auto& [source, copyTo, expected] : cases) {
    const auto plan = PlanCopy(source, copyTo);
    EXPECT_EQ(plan ? std::optional(std::pair{plan->source, plan->destination}) : std::nullopt, expected) << source;
  }
}

TEST(IsSameOrInside, ComparesWholeComponents) {
  EXPECT_TRUE(IsSameOrInside("C:\\a", "C:\\a"));
  EXPECT_TRUE(IsSameOrInside("C:\\a\\", "C:\\a"));
  EXPECT_TRUE(IsSameOrInside("C:\\a\\b\\c", "C:\\a\\"));
  EXPECT_TRUE(IsSameOrInside("C:\\a", "C:\\"));
  EXPECT_FALSE(IsSameOrInside("C:\\ab", "C:\\a"));
  EXPECT_FALSE(IsSameOrInside("C:\\a", "C:\\a\\b"));
  EXPECT_FALSE(IsSameOrInside("D:\\a\\b", "C:\\a"));
}

TEST(RootKindOf, FindsEverySpellingOfARoot) {
  const struct {
    const char* path;
    RootKind kind;
  } cases[] = {
      {"C:\\", RootKind::Drive},
      {"c:/", RootKind::Drive},
      {"C:\\\\", RootKind::Drive},
      {"C:\\.\\a\\..\\..\\.", RootKind::Drive},
      {"C:\\...", RootKind::Drive},
      {"\\", RootKind::Drive},
      {"\\\\?\\C:\\", RootKind::Drive},
      {"\\\\?\\C:", RootKind::Drive},
      {"\\\\.\\C:\\a\\..", RootKind::Drive},
      {"\\??\\C:\\", RootKind::Drive},
      {"//?/c:/", RootKind::Drive},
      {"\\\\server\\share\\", RootKind::Share},
      {"\\\\server\\share\\a\\..", RootKind::Share},
      {"\\\\server", RootKind::Share},
      {"\\\\?\\UNC\\server\\share", RootKind::Share},
      {"\\\\?\\Volume{0b1f1a2c-0000-0000-0000-100000000000}\\", RootKind::Device},
      {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1", RootKind::Device},
      {"\\\\.\\", RootKind::Device},
      {"\\\\.\\C:\\a\\..\\..", RootKind::Device},
      {"C:\\a", RootKind::None},
      {"C:\\a\\b\\..", RootKind::None},
      {"C:", RootKind::None},
      {"C:a", RootKind::None},
      {"a\\..\\..", RootKind::None},
      {"\\a", RootKind::None},
      {"\\\\?\\C:\\a", RootKind::None},
      {"\\\\server\\share\\a", RootKind::None},
      {"\\\\?\\UNC\\server\\share\\a", RootKind::None},
      {"\\\\?\\Volume{0b1f1a2c-0000-0000-0000-100000000000}\\a", RootKind::None},
      {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\a", RootKind::None},
  };
  for (const auto& c : cases) EXPECT_EQ(RootKindOf(c.path), c.kind) << c.path;
}

TEST(IsFileNamePattern, RefusesAFolderPart) {
  EXPECT_TRUE(IsFileNamePattern("*.txt"));
  EXPECT_FALSE(IsFileNamePattern("sub\\*.txt"));
  EXPECT_FALSE(IsFileNamePattern("sub/*.txt"));
}

// A file system of folders only: creating needs the parent.
struct FakeFolders {
  std::set<std::string> existing{"\\\\?\\C:"};
  std::size_t calls = 0;
  unsigned long operator()(const std::string& path) {
    ++calls;
    if (existing.count(path) != 0) return 183;  // already exists
    if (path == "\\\\?\\C:\\bad") return 5;  // access denied
    const auto parent = path.substr(0, path.rfind('\\'));
    if (existing.count(parent) == 0) return 3;  // path not found
    existing.insert(path);
    return 0;
  }
};

TEST(CreateWithParents, CreatesEveryMissingLevelWithoutRecursion) {
  FakeFolders folders;
  std::string deep = "\\\\?\\C:";
  for (int level = 0; level < 2000; ++level) deep += "\\d";
  EXPECT_EQ(CreateWithParents(deep, std::ref(folders)), 0u);
  EXPECT_EQ(folders.existing.size(), 2001u);
  EXPECT_EQ(folders.calls, 3999u);  // up until one can be made, then down
  EXPECT_EQ(CreateWithParents(deep, std::ref(folders)), 183u);
}

TEST(CreateWithParents, ReportsALevelThatCannotBeCreated) {
  FakeFolders folders;
  EXPECT_EQ(CreateWithParents("\\\\?\\C:\\bad\\x\\y", std::ref(folders)), 3u);
  EXPECT_EQ(folders.existing.size(), 1u);
}

}  // namespace
}  // namespace tk
