#include "shared/registry/registry_keys.h"

#include <gtest/gtest.h>

namespace tk {
namespace {

TEST(RegistryKeys, GetKeyNameNamesRootsAndPseudoRoots) {
  EXPECT_EQ(GetKeyName(kCurrentUser), "HKEY_CURRENT_USER");
  EXPECT_EQ(GetKeyName(kDynData), "HKEY_DYN_DATA");
  EXPECT_EQ(GetKeyName(kLocalMachine64), "HKEY_LOCAL_MACHINE_64BIT");
  EXPECT_EQ(GetKeyName(kClassesRoot64), "HKEY_CLASSES_ROOT_64BIT");
}

TEST(RegistryKeys, GetKeyNameOfOtherValuesIsTheirSignedDecimal) {
  EXPECT_EQ(GetKeyName(7), "7");
  EXPECT_EQ(GetKeyName(0x80000007), "-2147483641");
}

TEST(RegistryKeys, PseudoRootsMapToTheirPlainRoots) {
  EXPECT_TRUE(Is64bitKey(1));
  EXPECT_TRUE(Is64bitKey(2));
  EXPECT_FALSE(Is64bitKey(kLocalMachine));
  EXPECT_EQ(Get64bitRootKey(kLocalMachine64), kLocalMachine);
  EXPECT_EQ(Get64bitRootKey(kClassesRoot64), kClassesRoot);
  EXPECT_EQ(Get64bitRootKey(kLocalMachine), 0u);
}

TEST(RegistryKeys, OnlyPredefinedRootsArePassedOn) {
  EXPECT_TRUE(IsPredefinedRoot(kClassesRoot));
  EXPECT_TRUE(IsPredefinedRoot(kDynData));
  EXPECT_FALSE(IsPredefinedRoot(0x80000007));
  EXPECT_FALSE(IsPredefinedRoot(7));
  EXPECT_FALSE(IsPredefinedRoot(kLocalMachine64));
}

TEST(RegistryKeys, ExportRootNamesDropTheView) {
  EXPECT_EQ(ExportRootName(kLocalMachine64), "HKEY_LOCAL_MACHINE");
  EXPECT_EQ(ExportRootName(kClassesRoot64), "HKEY_CLASSES_ROOT");
  EXPECT_EQ(ExportRootName(kUsers), "HKEY_USERS");
  EXPECT_EQ(ExportRootName(7), std::nullopt);
  EXPECT_EQ(ExportRootName(0), std::nullopt);
}

TEST(RegistryKeys, FailureTexts) {
  EXPECT_EQ(OpenKeyFailedText(kCurrentUser, "Software\\X", true),
            "OpenKey failed('HKEY_CURRENT_USER\\Software\\X', ReadOnly=True)");
  EXPECT_EQ(OpenKeyFailedText(kLocalMachine, "S", false),
            "OpenKey failed('HKEY_LOCAL_MACHINE\\S', ReadOnly=False)");
  EXPECT_EQ(CreateKeyFailedText(kUsers, "A\\B"), "CreateKeyAnyOS failed('HKEY_USERS\\A\\B')");
  EXPECT_EQ(InvalidKeyText(kLocalMachine64), "Invalid key HKEY_LOCAL_MACHINE_64BIT on 32 bit Windows");
}

TEST(RegistryKeys, PlaceholderTextInASubKeyIsNotReplacedAgain) {
  EXPECT_EQ(OpenKeyFailedText(kCurrentUser, "a%1b%3", false),
            "OpenKey failed('HKEY_CURRENT_USER\\a%1b%3', ReadOnly=False)");
}


TEST(RegistryKeys, SubKeyPaths) {
  EXPECT_EQ(WithoutTrailingBackslash("A\\B\\"), "A\\B");
  EXPECT_EQ(WithoutTrailingBackslash("A\\B\\\\"), "A\\B\\");
  EXPECT_EQ(WithoutTrailingBackslash(""), "");
  EXPECT_EQ(LastName("Software\\A\\B"), "B");
  EXPECT_EQ(LastName("B"), "B");
}

TEST(RegistryKeys, SubKeysMadeOfBackslashesNameTheRoot) {
  EXPECT_TRUE(NamesRoot(""));
  EXPECT_TRUE(NamesRoot("\\"));
  EXPECT_TRUE(NamesRoot("\\\\"));
  EXPECT_FALSE(NamesRoot("A\\"));
  EXPECT_FALSE(NamesRoot("\\A"));
}

TEST(RegistryKeys, IsSameOrBelowComparesWholeNamesIgnoringCase) {
  EXPECT_TRUE(IsSameOrBelow("Software\\A", "software\\a"));
  EXPECT_TRUE(IsSameOrBelow("Software\\A\\B", "Software\\A\\"));
  EXPECT_FALSE(IsSameOrBelow("Software\\AB", "Software\\A"));
  EXPECT_FALSE(IsSameOrBelow("Software", "Software\\A"));
  EXPECT_TRUE(IsSameOrBelow("Software", ""));
}

}  // namespace
}  // namespace tk
