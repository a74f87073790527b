// The registry operations as a 32-bit Windows sees them: the 64-bit pseudo
// roots never reach the registry there.
#include "shared/registry/registry_access_win.h"

#include <gtest/gtest.h>

#include "shared/registry/registry_keys.h"

namespace tk {
namespace {

TEST(RegistryOn32bitWindows, ANativeViewRootFailsWithTheInvalidKeyTextOrTheOsText) {
  RegistryAccess access{LibraryFlags{true, false}};
  const std::string invalidKey = "Invalid key HKEY_LOCAL_MACHINE_64BIT on 32 bit Windows";
  std::vector<std::string> names;
  std::string cause;
  EXPECT_FALSE(access.EnumValuesEx(kLocalMachine64, "Software", names, cause));
  EXPECT_EQ(cause, invalidKey);
  EXPECT_FALSE(access.IsKeyExist(kClassesRoot64, "CLSID"));
  EXPECT_TRUE(access.EnumKey(kClassesRoot64, "CLSID").empty());
  hg::win::unique_hkey key;
  EXPECT_FALSE(access.CreateKeyAnyOS(kLocalMachine64, "Software\\tkShared test", key, cause = ""));
  EXPECT_EQ(cause, invalidKey);
  EXPECT_FALSE(access.SetString(kLocalMachine64, "Software\\tkShared test", "v", "x"));
  EXPECT_FALSE(access.CopySingleValue(kLocalMachine64, "Software", "v", kCurrentUser, "Software\\tkShared absent",
                                      cause = ""));
  EXPECT_EQ(cause, invalidKey);
  EXPECT_FALSE(access.DeleteKeyEx(kLocalMachine64, "Software\\tkShared absent", cause));
  EXPECT_EQ(cause, "64-bit key on 32-bit OS.");
  std::string subKey = "Software\\";
  EXPECT_EQ(access.SaveAsReg50(kLocalMachine64, subKey), "");
  EXPECT_EQ(subKey, "Software");
}

}  // namespace
}  // namespace tk
