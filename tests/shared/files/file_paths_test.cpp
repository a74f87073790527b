#include "shared/files/file_paths.h"

#include <gtest/gtest.h>

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
