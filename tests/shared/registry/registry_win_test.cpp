// CRegistry through its interface, against the prefix's real registry, where
// a script cannot reach: an array without its element type and a small stack.
// registry_test.vbs proves the rest late-bound. Every test works below a key
// of its own in HKCU\Software and deletes it afterwards.
#include "tests/shared/library_test_win.h"
#include "tests/support/registry_probe.h"

namespace {

using namespace hg::test;
using hg::win::Variant;

constexpr auto kCurrentUser = static_cast<enRegistryKey>(0x80000001);

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str()); }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str()); }

  ComApartment com;
  hg::win::com_ptr<_CRegistry> registry = Create<_CRegistry>(CLSID_CRegistry, IID__CRegistry);
  const std::wstring base = L"Software\\tkShared registry test " + std::to_wstring(::GetCurrentProcessId());
};

// A C++ caller may build an array of bytes without its element type, which is
// refused and left unlocked (it could not be destroyed otherwise).
TEST_F(RegistryTest, AByteArrayWithoutItsElementTypeIsRefusedAndLeftUnlocked) {
  VARIANT_BOOL done = VARIANT_FALSE;
  SAFEARRAY* array = nullptr;
  ASSERT_EQ(::SafeArrayAllocDescriptor(1, &array), S_OK);
  array->cbElements = 1;
  array->rgsabound[0] = {3, 0};
  ASSERT_EQ(::SafeArrayAllocData(array), S_OK);
  EXPECT_TRUE(FAILED(registry->SetBINARY(kCurrentUser, Bstr(base), Bstr(L"bin"), hg::win::BorrowedArray(array), 3,
                                         &done)));
  EXPECT_EQ(::SafeArrayDestroy(array), S_OK);
}

// On a 64 KB stack, where a walk that took stack per level would overflow.
TEST_F(RegistryTest, ADeepTreeIsCopiedExportedAndDeletedOnASmallStack) {
  std::wstring levels;
  for (int level = 0; level < 400; ++level) levels += L"\\\u00e9\u4e2d";
  for (const std::wstring& key : {base + L"\\deep" + levels, base + L"\\keep"})
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"v", REG_SZ, L"x", 4), ERROR_SUCCESS);
  Variant cause;
  const auto work = [&] {
    EXPECT_TRUE(Flag([&](VARIANT_BOOL* r) {
      return registry->CopySubKey(kCurrentUser, Bstr(base + L"\\deep"), kCurrentUser, Bstr(base + L"\\copy"),
                                  cause.put(), r);
    })) << TextOf(cause.get());
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, base + L"\\copy\\deep" + levels, L"v"), L"x");
    Variant path = Text(base + L"\\deep");
    hg::win::unique_bstr text;
    EXPECT_EQ(registry->SaveAsReg50(kCurrentUser, Ref(path), text.put()), S_OK);
    EXPECT_NE(TextOf(text).find(levels + L"]"), std::wstring::npos);
    for (const wchar_t* tree : {L"\\copy\\", L"\\deep"}) {  // with a trailing backslash too
      EXPECT_TRUE(Flag([&](VARIANT_BOOL* r) {
        return registry->DeleteKeyEx(kCurrentUser, Bstr(base + tree), cause.put(), r);
      })) << TextOf(cause.get());
    }
  };
  EXPECT_TRUE(RunOnSmallStack(work)) << "the walk overflowed its stack";
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base + L"\\copy") || KeyExists(HKEY_CURRENT_USER, base + L"\\deep"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base + L"\\keep"));
}

TEST(RegistryScripts, VBScriptClientUsesTheRegistryLateBound) { ExpectScriptPasses(L"registry_test.vbs"); }

}  // namespace
