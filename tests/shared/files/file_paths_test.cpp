#include "shared/files/file_paths.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace {

using tk::IsSameOrInside;
using tk::ParentToCreate;
using tk::PlanCopy;
using tk::TakesLongPathPrefix;
using tk::WithLongPathPrefix;

TEST(MergeFolderAndSubobject, AddsOneBackslashBetween) {
  EXPECT_EQ(tk::MergeFolderAndSubobject("C:\\a", "b.txt"), "C:\\a\\b.txt");
  EXPECT_EQ(tk::MergeFolderAndSubobject("C:\\a\\", "b.txt"), "C:\\a\\b.txt");
}

TEST(MergeFolderAndSubobject, EmptyParentGivesChild) {
  EXPECT_EQ(tk::MergeFolderAndSubobject("", "b.txt"), "b.txt");
}

TEST(MergeFolderAndSubobject, LeavesChildAsItStands) {
  EXPECT_EQ(tk::MergeFolderAndSubobject("C:\\a", "\\b"), "C:\\a\\\\b");
}

TEST(LongPathPrefix, GoesBeforeDrivePaths) {
  EXPECT_EQ(WithLongPathPrefix("C:\\a\\b"), "\\\\?\\C:\\a\\b");
  EXPECT_EQ(WithLongPathPrefix("z:\\"), "\\\\?\\z:\\");
}

TEST(LongPathPrefix, IsNotAddedTwice) {
  EXPECT_EQ(WithLongPathPrefix("\\\\?\\C:\\a"), "\\\\?\\C:\\a");
  EXPECT_EQ(WithLongPathPrefix("\\\\?\\UNC\\s\\x"), "\\\\?\\UNC\\s\\x");
}

TEST(LongPathPrefix, TurnsServerSharePathsIntoUncForm) {
  EXPECT_EQ(WithLongPathPrefix("\\\\server\\share\\f"), "\\\\?\\UNC\\server\\share\\f");
}

TEST(LongPathPrefix, LeavesRelativeAndDevicePathsAlone) {
  for (const char* path : {"", "a\\b", "..\\b", "\\root", "C:rel", "C:/a", "\\\\.\\COM1"}) {
    EXPECT_EQ(WithLongPathPrefix(path), path);
  }
}

TEST(LongPathPrefix, IsTakenByAbsolutePathsWithEitherSeparator) {
  for (const char* path : {"C:\\a", "C:/a/b", "c:\\", "\\\\server\\share", "//server/share"}) {
    EXPECT_TRUE(TakesLongPathPrefix(path)) << path;
  }
  for (const char* path : {"", "a\\b", "..\\b", "\\root", "/root", "C:rel", "\\\\.\\COM1",
                           "//./COM1", "\\\\?\\C:\\a", "\\\\"}) {
    EXPECT_FALSE(TakesLongPathPrefix(path)) << path;
  }
}

TEST(ParentToCreate, ClimbsOneLevelIgnoringATrailingBackslash) {
  EXPECT_EQ(ParentToCreate("\\\\?\\C:\\x\\y\\z"), "\\\\?\\C:\\x\\y");
  EXPECT_EQ(ParentToCreate("\\\\?\\C:\\x\\y\\"), "\\\\?\\C:\\x");
  EXPECT_EQ(ParentToCreate("C:\\x\\y"), "C:\\x");
}

TEST(ParentToCreate, StopsBelowTheDriveRoot) {
  EXPECT_EQ(ParentToCreate("\\\\?\\C:\\x"), std::nullopt);
  EXPECT_EQ(ParentToCreate("\\\\?\\C:\\x\\"), std::nullopt);
  EXPECT_EQ(ParentToCreate("C:\\x"), std::nullopt);
  EXPECT_EQ(ParentToCreate("x"), std::nullopt);
  EXPECT_EQ(ParentToCreate(""), std::nullopt);
}

TEST(ParentToCreate, StopsBelowTheServerShare) {
  EXPECT_EQ(ParentToCreate("\\\\?\\UNC\\srv\\share\\x"), "\\\\?\\UNC\\srv\\share");
  EXPECT_EQ(ParentToCreate("\\\\?\\UNC\\srv\\share"), std::nullopt);
  EXPECT_EQ(ParentToCreate("\\\\srv\\share\\x"), "\\\\srv\\share");
  EXPECT_EQ(ParentToCreate("\\\\srv\\share"), std::nullopt);
}

TEST(PlanCopy, IntoAFolderKeepsTheName) {
  const auto plan = PlanCopy("C:\\a\\dir\\", "D:\\b\\");
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->source, "C:\\a\\dir");
  EXPECT_EQ(plan->destination, "D:\\b\\dir");
}

TEST(PlanCopy, ToANameTakesThatName) {
  const auto plan = PlanCopy("C:\\a\\f.txt", "D:\\b\\g.txt");
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->source, "C:\\a\\f.txt");
  EXPECT_EQ(plan->destination, "D:\\b\\g.txt");
}

TEST(PlanCopy, NeedsABackslashInTheSource) {
  EXPECT_EQ(PlanCopy("file.txt", "D:\\b\\"), std::nullopt);
  EXPECT_EQ(PlanCopy("dir\\", "D:\\b\\"), std::nullopt);
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

}  // namespace

namespace {

using tk::RootKind;

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
  for (const auto& c : cases) EXPECT_EQ(tk::RootKindOf(c.path), c.kind) << c.path;
}

TEST(IsFileNamePattern, RefusesAFolderPart) {
  EXPECT_TRUE(tk::IsFileNamePattern("*.txt"));
  EXPECT_FALSE(tk::IsFileNamePattern("sub\\*.txt"));
  EXPECT_FALSE(tk::IsFileNamePattern("sub/*.txt"));
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
  EXPECT_EQ(tk::CreateWithParents(deep, std::ref(folders)), 0u);
  EXPECT_EQ(folders.existing.size(), 2001u);
  EXPECT_EQ(folders.calls, 3999u);  // up until one can be made, then down
  EXPECT_EQ(tk::CreateWithParents(deep, std::ref(folders)), 183u);
}

TEST(CreateWithParents, ReportsALevelThatCannotBeCreated) {
  FakeFolders folders;
  EXPECT_EQ(tk::CreateWithParents("\\\\?\\C:\\bad\\x\\y", std::ref(folders)), 3u);
  EXPECT_EQ(folders.existing.size(), 1u);
}

}  // namespace
