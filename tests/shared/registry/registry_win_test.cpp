// CRegistry through its interface, against the prefix's real registry. Every
// test works below a key of its own in HKCU\Software and deletes it afterwards.
#include <algorithm>

#include "shared/registry/registry_access_win.h"
#include "shared/registry/registry_keys.h"
#include "tests/shared/library_test_win.h"
#include "tests/support/registry_probe.h"

namespace {

using namespace hg::test;
using hg::win::com_ptr;
using hg::win::unique_bstr;
using hg::win::unique_hkey;
using hg::win::Variant;

constexpr auto kCurrentUser = static_cast<enRegistryKey>(0x80000001);
constexpr auto kLocalMachine64 = static_cast<enRegistryKey>(1);
constexpr auto kUnknownRoot = static_cast<enRegistryKey>(7);

// The system's text of a status, as the library gives it.
std::wstring SystemText(DWORD code) {
  const auto global = Create<_CGlobal>(CLSID_CGlobal, IID__CGlobal);
  return Str([&](BSTR* text) { return global->FormatMessageFromSystem(static_cast<LONG>(code), text); });
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str()); }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str()); }

  std::wstring Path(const std::wstring& below) const { return below.empty() ? base : base + L"\\" + below; }
  void MakeKey(const std::wstring& below) {
    unique_hkey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, Path(below).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                key.put(), nullptr),
              ERROR_SUCCESS);
  }
  void Write(const std::wstring& below, const std::wstring& name, DWORD type, const void* data, DWORD size) {
    MakeKey(below);
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, Path(below).c_str(), name.c_str(), type, data, size),
              ERROR_SUCCESS);
  }
  void WriteText(const std::wstring& below, const std::wstring& name, const std::wstring& text) {
    Write(below, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  // The stored type and bytes of a value, or type REG_NONE with no bytes when it is absent.
  std::pair<DWORD, std::vector<BYTE>> Read(const std::wstring& below, const std::wstring& name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    const auto get = [&](void* data) {
      return ::RegGetValueW(HKEY_CURRENT_USER, Path(below).c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                            &type, data, &size);
    };
    if (get(nullptr) != ERROR_SUCCESS) return {REG_NONE, {}};
    std::vector<BYTE> data(size);
    get(data.data());
    data.resize(size);
    return {type, data};
  }
  bool KeyExists(const std::wstring& below) { return hg::test::KeyExists(HKEY_CURRENT_USER, Path(below)); }
  // The calls that tell why they failed in `cause`.
  bool DeleteKeyEx(enRegistryKey root, const std::wstring& subKey) {
    return Flag([&](VARIANT_BOOL* r) { return registry->DeleteKeyEx(root, Bstr(subKey), cause.put(), r); });
  }
  bool CopySubKey(const std::wstring& from, const std::wstring& to) {
    return Flag([&](VARIANT_BOOL* r) {
      return registry->CopySubKey(kCurrentUser, Bstr(Path(from)), kCurrentUser, Bstr(Path(to)), cause.put(), r);
    });
  }
  std::wstring Cause() const { return TextOf(cause.get()); }
  std::wstring Export(enRegistryKey root, const std::wstring& subKey) {
    Variant path = Text(subKey);
    unique_bstr text;
    EXPECT_EQ(registry->SaveAsReg50(root, Ref(path), text.put()), S_OK);
    return text ? TextOf(text) : L"<failed>";
  }

  ComApartment com;
  com_ptr<_CRegistry> registry = Create<_CRegistry>(CLSID_CRegistry, IID__CRegistry);
  const std::wstring base = L"Software\\tkShared registry test " + std::to_wstring(::GetCurrentProcessId());
  Variant cause;
};

// The script client proves the script's arrays; a C++ caller passes arrays of
// bytes, and may build one without its element type.
TEST_F(RegistryTest, ByteArraysAreFilledFromTheirStartAndLeftUnlocked) {
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(registry->SetBINARY(kCurrentUser, Bstr(base), Bstr(L"bin"), Bytes("\xF0\xF1\xF2").get(), 3, &done), S_OK);
  EXPECT_TRUE(done);
  EXPECT_EQ(Read(L"", L"bin"), (std::pair<DWORD, std::vector<BYTE>>{REG_BINARY, {0xF0, 0xF1, 0xF2}}));
  const Variant buffer = Bytes(std::string_view("\0\1\2\3", 4));
  Variant length;
  ASSERT_EQ(registry->QueryBINARY(kCurrentUser, Bstr(base), Bstr(L"bin"), Ref(buffer), Ref(length), &done), S_OK);
  EXPECT_TRUE(done);
  EXPECT_EQ(length.get().lVal, 3);
  EXPECT_EQ(BytesOf(buffer.get()), std::string_view("\xF0\xF1\xF2\3", 4));
  SAFEARRAY* array = nullptr;
  ASSERT_EQ(::SafeArrayAllocDescriptor(1, &array), S_OK);
  array->cbElements = 1;
  array->rgsabound[0] = {3, 0};
  ASSERT_EQ(::SafeArrayAllocData(array), S_OK);
  EXPECT_TRUE(FAILED(registry->SetBINARY(kCurrentUser, Bstr(base), Bstr(L"bin"), hg::win::BorrowedArray(array), 3,
                                         &done)));
  EXPECT_EQ(array->cLocks, 0u);
  EXPECT_EQ(::SafeArrayDestroy(array), S_OK);
}

// Each of these names the root, a key under a name the system would cut at
// its NUL, a key too long, a root the class does not know or a copy into
// itself: refused, and nothing is touched.
TEST_F(RegistryTest, RefusedKeysAndNamesTouchNothing) {
  WriteText(L"keep", L"v", L"x");
  MakeKey(L"keep\\child");
  const std::wstring keep = Path(L"keep");
  const std::wstring cutKey = keep + L'\0' + L"\\junk";
  const std::wstring cutValue = std::wstring(L"v") + L'\0' + L"junk";
  const std::wstring overLong = Path(std::wstring(300, L'k'));
  const std::function<HRESULT(VARIANT_BOOL*)> refused[] = {
      [&](VARIANT_BOOL* r) { return registry->SetSTRING(kUnknownRoot, Bstr(base), Bstr(L"v"), Bstr(L"x"), r); },
      [&](VARIANT_BOOL* r) { return registry->IsKeyExist(kUnknownRoot, Bstr(base), r); },
      [&](VARIANT_BOOL* r) { return registry->SetSTRING(kCurrentUser, Bstr(overLong), Bstr(L"v"), Bstr(L"x"), r); },
      [&](VARIANT_BOOL* r) { return registry->IsKeyExist(kCurrentUser, Bstr(overLong), r); },
      [&](VARIANT_BOOL* r) { return registry->DeleteKey(kCurrentUser, Bstr(cutKey), r); },
      [&](VARIANT_BOOL* r) { return registry->DeleteValue(kCurrentUser, Bstr(keep), Bstr(cutValue), r); },
      [&](VARIANT_BOOL* r) { return registry->IsKeyExist(kCurrentUser, Bstr(cutKey), r); },
      [&](VARIANT_BOOL* r) { return registry->SetSTRING(kCurrentUser, Bstr(keep), Bstr(cutValue), Bstr(L"lost"), r); },
  };
  for (std::size_t row = 0; row < std::size(refused); ++row) EXPECT_FALSE(Flag(refused[row])) << "row " << row;
  EXPECT_FALSE(DeleteKeyEx(kCurrentUser, cutKey));
  EXPECT_NE(Cause().find(L"NUL"), std::wstring::npos) << Cause();
  EXPECT_FALSE(CopySubKey(L"keep", L"KEEP\\child\\copy"));
  EXPECT_NE(Cause(), L"");
  EXPECT_FALSE(CopySubKey(L"absent", L"copy"));
  EXPECT_EQ(Cause(), L"OpenKey failed('HKEY_CURRENT_USER\\" + Path(L"absent") + L"', ReadOnly=True)");
  // Subkeys that name the root, and texts the class cannot take.
  VARIANT_BOOL done = VARIANT_TRUE;
  for (const wchar_t* subKey : {L"", L"\\", L"\\\\"}) {
    EXPECT_EQ(registry->DeleteKeyEx(kCurrentUser, Bstr(subKey), cause.put(), &done), E_INVALIDARG)
        << "subkey '" << hg::win::Narrow(subKey) << "'";
    EXPECT_EQ(registry->DeleteKey(kCurrentUser, Bstr(subKey), &done), E_INVALIDARG);
  }
  unique_bstr text;
  EXPECT_EQ(registry->SaveAsReg50(kCurrentUser, Ref(Text(cutKey)), text.put()), E_INVALIDARG);
  EXPECT_EQ(registry->SaveAsReg50(kUnknownRoot, Ref(Text(keep)), text.put()), E_NOTIMPL);
  EXPECT_EQ(registry->SaveSingleValueAsReg50(kUnknownRoot, Bstr(keep), Bstr(L"v"), text.put()), E_NOTIMPL);
  EXPECT_FALSE(DeleteKeyEx(kUnknownRoot, L"Software\\X"));
  EXPECT_EQ(Cause(), SystemText(ERROR_INVALID_HANDLE));  // the text of the status the delete returned
  EXPECT_TRUE(KeyExists(L"keep\\child"));
  EXPECT_FALSE(KeyExists(L"keep\\child\\copy") || KeyExists(L"copy"));
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, keep, L"v"), L"x");
}

// On a 64 KB stack, where a walk that took stack per level would overflow.
TEST_F(RegistryTest, ADeepTreeIsCopiedExportedAndDeletedOnASmallStack) {
  std::wstring deep = L"deep";
  for (int level = 0; level < 400; ++level) deep += L"\\\u00e9\u4e2d";
  WriteText(deep, L"v", L"x");
  WriteText(L"deep\\\u00e9\u4e2d\\side", L"", L"y");
  MakeKey(L"keep");
  const auto work = [&] {
    EXPECT_TRUE(CopySubKey(L"deep", L"copy")) << Cause();
    EXPECT_EQ(Read(L"copy\\" + deep, L"v").first, static_cast<DWORD>(REG_SZ));
    EXPECT_NE(Export(kCurrentUser, Path(L"deep")).find(deep + L"]"), std::wstring::npos);
    for (const wchar_t* tree : {L"copy\\", L"deep"}) {  // with a trailing backslash too
      EXPECT_TRUE(DeleteKeyEx(kCurrentUser, Path(tree))) << Cause();
      EXPECT_EQ(Cause(), L"");
    }
  };
  EXPECT_TRUE(RunOnSmallStack(work)) << "the walk overflowed its stack";
  EXPECT_FALSE(KeyExists(L"copy") || KeyExists(L"deep"));
  EXPECT_TRUE(KeyExists(L"keep"));
  EXPECT_TRUE(DeleteKeyEx(kCurrentUser, Path(L"absent")));
}

TEST_F(RegistryTest, NamesAndTextsOfAnyScriptRoundTripAndAreListedAfterValuesWithLargeData) {
  const std::wstring text = L"Gr\u00fc\u00dfe \u4e2d\u6587 \u03a9";
  EXPECT_TRUE(Flag([&](VARIANT_BOOL* r) {
    return registry->SetSTRING(kCurrentUser, Bstr(Path(L"\u0411eta")), Bstr(L"\u03a9 name"), Bstr(text), r);
  }));
  EXPECT_EQ(Read(L"\u0411eta", L"\u03a9 name").first, static_cast<DWORD>(REG_SZ));
  Variant value;
  EXPECT_TRUE(Flag([&](VARIANT_BOOL* r) {
    return registry->QuerySTRING(kCurrentUser, Bstr(Path(L"\u0411eta")), Bstr(L"\u03a9 name"), Ref(value), r);
  }));
  EXPECT_EQ(TextOf(value.get()), text);
  MakeKey(L"Alpha");
  com_ptr<_CCollection> keys;
  ASSERT_EQ(registry->EnumKey(kCurrentUser, Bstr(base), keys.put()), S_OK);
  EXPECT_EQ(Items(keys.get()), (std::vector<std::wstring>{L"Alpha", L"\u0411eta"}));
  const std::vector<BYTE> big(10000, 0xAB);
  Write(L"", L"big", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
  WriteText(L"", L"\u00fcber", L"3");
  Variant result;
  EXPECT_TRUE(Flag([&](VARIANT_BOOL* r) {
    return registry->EnumValuesEx(kCurrentUser, Bstr(base), Ref(result), cause.put(), r);
  })) << hg::win::Narrow(Cause());
  ASSERT_EQ(result.type(), VT_DISPATCH);
  auto found = Items(com_ptr<IDispatch>(result.get().pdispVal).query<_CCollection>(IID__CCollection).get());
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::wstring>{L"big", L"\u00fcber"}));
}

TEST_F(RegistryTest, SaveAsReg50WritesTheTreeDepthFirstFromEitherView) {
  const DWORD one = 1;
  Write(L"A", L"Enabled", REG_DWORD, &one, sizeof(one));
  WriteText(L"A\\B", L"", L"C:\\a \"b\"");
  MakeKey(L"A\\B\\C");
  MakeKey(L"A\\D");
  const std::wstring key = L"[HKEY_CURRENT_USER\\" + Path(L"A");
  EXPECT_EQ(Export(kCurrentUser, Path(L"A")), L"\r\n" + key + L"]\r\n\"Enabled\"=dword:00000001\r\n"
                                             L"\r\n" + key + L"\\B]\r\n@=\"C:\\\\a \\\"b\\\"\"\r\n"
                                             L"\r\n" + key + L"\\B\\C]\r\n"
                                             L"\r\n" + key + L"\\D]\r\n");
  const std::wstring native = Export(kLocalMachine64, L"Software\\Classes\\CLSID\\");
  EXPECT_EQ(native.rfind(L"\r\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID]\r\n", 0), 0u)
      << hg::win::Narrow(native.substr(0, 200));
}

TEST_F(RegistryTest, CopiesTakeEveryTypeAndLargeDataWhole) {
  const DWORD number = 0x12345678;
  const std::vector<BYTE> large(70000, 0x5A);
  const std::wstring expand = L"%SystemRoot%\\x";
  const wchar_t multi[] = L"one\0two\0";
  WriteText(L"src\\B", L"text", L"C:\\a \"b\"");
  WriteText(L"src\\B", L"", L"default");
  Write(L"src\\B", L"number", REG_DWORD, &number, sizeof(number));
  Write(L"src\\B", L"large", REG_BINARY, large.data(), static_cast<DWORD>(large.size()));
  Write(L"src\\B", L"expand", REG_EXPAND_SZ, expand.c_str(), static_cast<DWORD>((expand.size() + 1) * sizeof(wchar_t)));
  Write(L"src\\B", L"multi", REG_MULTI_SZ, multi, sizeof(multi));
  Write(L"src\\B", L"none", REG_NONE, nullptr, 0);
  WriteText(L"src\\B\\child\\\u4e2d", L"deep", L"x");
  EXPECT_TRUE(CopySubKey(L"src\\B", L"dst")) << hg::win::Narrow(Cause());
  EXPECT_EQ(Cause(), L"");
  std::wstring original = Export(kCurrentUser, Path(L"src\\B"));
  const std::wstring copied = Export(kCurrentUser, Path(L"dst\\B"));
  for (auto at = original.find(L"\\src\\B"); at != std::wstring::npos; at = original.find(L"\\src\\B", at)) {
    original.replace(at, 6, L"\\dst\\B");
  }
  EXPECT_EQ(copied, original);
  EXPECT_NE(copied.find(L"\"deep\"=\"x\""), std::wstring::npos);
  // The export holds every byte of the large value, and the values after it.
  std::size_t bytes = 0;
  for (auto at = copied.find(L"5a"); at != std::wstring::npos; at = copied.find(L"5a", at + 2)) ++bytes;
  EXPECT_EQ(bytes, large.size());
  EXPECT_NE(copied.find(L"\"expand\"=hex(2):"), std::wstring::npos);
  EXPECT_EQ(Read(L"dst\\B", L"large").second, large);
  const auto copySingleValue = [&](const wchar_t* name) {
    return Flag([&](VARIANT_BOOL* r) {
      return registry->CopySingleValue(kCurrentUser, Bstr(Path(L"src\\B")), Bstr(name), kCurrentUser,
                                       Bstr(Path(L"to\\here")), cause.put(), r);
    });
  };
  EXPECT_TRUE(copySingleValue(L"large")) << hg::win::Narrow(Cause());
  EXPECT_EQ(Read(L"to\\here", L"large"), (std::pair<DWORD, std::vector<BYTE>>{REG_BINARY, large}));
  ASSERT_TRUE(DeleteKeyEx(kCurrentUser, Path(L"to"))) << Cause();
  EXPECT_FALSE(copySingleValue(L"absent"));
  EXPECT_EQ(Cause(), SystemText(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(KeyExists(L"to\\here"));
}

// A class of its own with a category of its own in both views of
// HKEY_CLASSES_ROOT, and a second class in the 32-bit view only.
TEST_F(RegistryTest, EnumClassesOfCategoryListsAClassOfBothViewsOnceAndOneOfThe32bitViewWithItsFlag) {
  const auto newGuid = [] {
    GUID guid;
    EXPECT_EQ(::CoCreateGuid(&guid), S_OK);
    return GuidText(guid);
  };
  const std::wstring clsid = newGuid(), clsid32 = newGuid(), category = newGuid();
  const auto categoryKey = [&](const std::wstring& id) {
    return L"CLSID\\" + id + L"\\Implemented Categories\\" + category;
  };
  std::vector<std::pair<std::wstring, REGSAM>> registered{
      {clsid, KEY_WOW64_64KEY}, {clsid, KEY_WOW64_32KEY}, {clsid32, KEY_WOW64_32KEY}};
  for (const auto& [id, view] : registered) {
    unique_hkey key;
    EXPECT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, categoryKey(id).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
  }
  auto both = std::vector<std::wstring>{clsid, clsid32};
  std::sort(both.begin(), both.end());
  const struct {
    bool include32, include64;
    std::vector<std::wstring> classes;
  } cases[] = {{true, true, both}, {true, false, both}, {false, true, {clsid}}, {false, false, {}}};
  for (const auto& [include32, include64, expected] : cases) {
    com_ptr<_CCollection> found;
    EXPECT_EQ(registry->EnumClassesOfCategory(Bstr(category), hg::win::VariantBool(include32),
                                              hg::win::VariantBool(include64), found.put()),
              S_OK);
    auto items = Items(found.get());
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, expected) << include32 << include64;
  }
  for (const auto& [id, view] : registered) {
    unique_hkey classes;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_ALL_ACCESS | view, classes.put()) == ERROR_SUCCESS) {
      ::RegDeleteTreeW(classes.get(), id.c_str());
    } else {
      classes.release();
    }
  }
}

TEST(RegistryScripts, VBScriptClientUsesTheRegistryLateBound) { ExpectScriptPasses(L"registry_test.vbs"); }

}  // namespace

// The registry operations as a 32-bit Windows sees them: the 64-bit pseudo
// roots never reach the registry there.
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
