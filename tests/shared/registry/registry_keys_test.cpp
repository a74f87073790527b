#include "shared/registry/registry_keys.h"

#include <gtest/gtest.h>

namespace tk {
namespace {

TEST(RegistryKeys, NamesOfRootsPseudoRootsAndOtherValues) {
  const struct {
    std::uint32_t key;
    const char* name;
    std::optional<std::string> exported;
  } cases[] = {
      {kCurrentUser, "HKEY_CURRENT_USER", "HKEY_CURRENT_USER"},
      {kDynData, "HKEY_DYN_DATA", "HKEY_DYN_DATA"},
      {kUsers, "HKEY_USERS", "HKEY_USERS"},
      // The registry-file text drops the view.
      {kLocalMachine64, "HKEY_LOCAL_MACHINE_64BIT", "HKEY_LOCAL_MACHINE"},
      {kClassesRoot64, "HKEY_CLASSES_ROOT_64BIT", "HKEY_CLASSES_ROOT"},
      // Other values by their signed decimal.
      {7, "7", std::nullopt},
      {0, "0", std::nullopt},
      {0x80000007, "-2147483641", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetKeyName(c.key), c.name);
    EXPECT_EQ(ExportRootName(c.key), c.exported) << c.name;
  }
}

TEST(RegistryKeys, PseudoRootsMapToTheirPlainRootsAndOnlyPredefinedRootsArePassedOn) {
  EXPECT_TRUE(Is64bitKey(1) && Is64bitKey(2));
  EXPECT_FALSE(Is64bitKey(kLocalMachine));
  EXPECT_EQ(Get64bitRootKey(kLocalMachine64), kLocalMachine);
  EXPECT_EQ(Get64bitRootKey(kClassesRoot64), kClassesRoot);
  EXPECT_EQ(Get64bitRootKey(kLocalMachine), 0u);
  EXPECT_TRUE(IsPredefinedRoot(kClassesRoot) && IsPredefinedRoot(kDynData));
  for (const std::uint32_t other : {0x80000007u, 7u, kLocalMachine64}) EXPECT_FALSE(IsPredefinedRoot(other)) << other;
}

TEST(RegistryKeys, FailureTextsKeepPlaceholderTextInASubKey) {
  EXPECT_EQ(OpenKeyFailedText(kCurrentUser, "Software\\X", true),
            "OpenKey failed('HKEY_CURRENT_USER\\Software\\X', ReadOnly=True)");
  EXPECT_EQ(OpenKeyFailedText(kCurrentUser, "a%1b%3", false),
      "OpenKey failed('HKEY_CURRENT_USER\\a%1b%3', ReadOnly=False)");
  EXPECT_EQ(CreateKeyFailedText(kUsers, "A\\B"), "CreateKeyAnyOS failed('HKEY_USERS\\A\\B')");
  EXPECT_EQ(InvalidKeyText(kLocalMachine64), "Invalid key HKEY_LOCAL_MACHINE_64BIT on 32 bit Windows");
}

TEST(RegistryKeys, SubKeyPaths) {
  EXPECT_EQ(WithoutTrailingBackslash("A\\B\\"), "A\\B");
  EXPECT_EQ(WithoutTrailingBackslash("A\\B\\\\"), "A\\B\\");
  EXPECT_EQ(WithoutTrailingBackslash(""), "");
  EXPECT_EQ(LastName("Software\\A\\B"), "B");
  EXPECT_EQ(LastName("B"), "B");
  // Subkeys made of backslashes name the root.
  for (const char* root : {"", "\\", "\\\\"}) EXPECT_TRUE(NamesRoot(root)) << root;
  for (const char* other : {"A\\", "\\A"}) EXPECT_FALSE(NamesRoot(other)) << other;
  // Whole names compare, in any letter case.
  EXPECT_TRUE(IsSameOrBelow("Software\\A", "software\\a"));
  EXPECT_TRUE(IsSameOrBelow("Software\\A\\B", "Software\\A\\"));
  EXPECT_FALSE(IsSameOrBelow("Software\\AB", "Software\\A"));
  EXPECT_FALSE(IsSameOrBelow("Software", "Software\\A"));
  EXPECT_TRUE(IsSameOrBelow("Software", ""));
}

}  // namespace
}  // namespace tk
