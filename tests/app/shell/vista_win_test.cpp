#include "app/shell/vista_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/win/text_win.h"
#include "common/win/unique_any.h"

namespace app::shell {
namespace {

using unique_sid = hg::win::unique_any<hg::win::NullTraits<PSID, ::FreeSid>>;

unique_sid BuiltinGroup(DWORD rid) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  unique_sid sid;
  EXPECT_TRUE(::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, rid, 0, 0, 0, 0,
                                         0, 0, sid.put()));
  return sid;
}

TEST(VistaWin, EveryGroupOfALargeTokenIsExamined) {
  const unique_sid users = BuiltinGroup(DOMAIN_ALIAS_RID_USERS);
  const unique_sid admins = BuiltinGroup(DOMAIN_ALIAS_RID_ADMINS);
  constexpr DWORD kCount = 40;
  std::vector<std::uint64_t> buffer(
      (sizeof(TOKEN_GROUPS) + kCount * sizeof(SID_AND_ATTRIBUTES)) / 8 + 1);
  auto& groups = *reinterpret_cast<TOKEN_GROUPS*>(buffer.data());
  groups.GroupCount = kCount;
  for (DWORD i = 0; i < kCount; ++i) groups.Groups[i] = {users.get(), SE_GROUP_ENABLED};
  EXPECT_FALSE(GroupsContain(groups, admins.get()));
  // Far past the first 21 entries, and present only for denying access.
  groups.Groups[kCount - 1] = {admins.get(), SE_GROUP_USE_FOR_DENY_ONLY};
  EXPECT_TRUE(GroupsContain(groups, admins.get()));
}

TEST(VistaWin, TheTestProcessTokenIsReadWhole) {
  std::int32_t type = 99;
  const bool admin = IsUserAdmin(type);
  // Wine's user is an administrator and its tokens report an elevation type.
  EXPECT_TRUE(admin);
  EXPECT_TRUE(type == kElevationDefault || type == kElevationFull || type == kElevationLimited)
      << type;
}

TEST(VistaWin, ShortPathOfAFolderWithBlanks) {
  wchar_t temp[MAX_PATH];
  ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring folder = std::wstring(temp) + L"Hedgerow short path \u00e9\u4e2d";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring shortPath = ShortPathName(folder);
  ASSERT_FALSE(shortPath.empty());
  EXPECT_EQ(shortPath.find(L' '), std::wstring::npos) << hg::win::Narrow(shortPath);
  EXPECT_NE(shortPath.rfind(L"\\\\?\\", 0), 0u);
  EXPECT_NE(::GetFileAttributesW(shortPath.c_str()), INVALID_FILE_ATTRIBUTES);
  ::RemoveDirectoryW(folder.c_str());
  EXPECT_EQ(ShortPathName(folder), L"");
}

TEST(VistaWin, TheRestartedMarkIsTakenOnce) {
  ASSERT_TRUE(::SetEnvironmentVariableW(L"HEDGEROW_RESTARTED", L"1"));
  EXPECT_TRUE(TakeRestartedMark());
  EXPECT_EQ(::GetEnvironmentVariableW(L"HEDGEROW_RESTARTED", nullptr, 0), 0u);
  EXPECT_FALSE(TakeRestartedMark());
  ::SetEnvironmentVariableW(L"HEDGEROW_RESTARTED", L"0");
  EXPECT_FALSE(TakeRestartedMark());
}

}  // namespace
}  // namespace app::shell
