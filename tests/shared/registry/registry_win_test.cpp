// CRegistry through its interface, against the prefix's real registry. Every
// test works below a key of its own in HKCU\Software and deletes it afterwards.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/registry_probe.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Bstr;
using hg::test::Flag;
using hg::test::Ref;
using hg::test::TextOf;
using hg::win::com_ptr;
using hg::win::unique_bstr;
using hg::win::unique_hkey;
using hg::win::Variant;

constexpr auto kCurrentUser = static_cast<enRegistryKey>(0x80000001);
constexpr auto kLocalMachine32 = static_cast<enRegistryKey>(0x80000002);
constexpr auto kLocalMachine64 = static_cast<enRegistryKey>(1);
constexpr auto kUnknownRoot = static_cast<enRegistryKey>(7);

// The system's text of a status, on one line as the library gives it.
std::wstring SystemText(DWORD code) {
  wchar_t buffer[1000];
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        code, 0, buffer, 1000, nullptr);
  std::wstring folded;
  for (std::size_t i = 0; i < length; ++i) {
    const wchar_t c = buffer[i] == L'\r' || buffer[i] == L'\n' ? L' ' : buffer[i];
    if (c != L' ' || folded.empty() || folded.back() != L' ') folded += c;
  }
  return folded;
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
  void WriteBytes(const std::wstring& below, const std::wstring& name, const std::vector<BYTE>& bytes) {
    Write(below, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
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

  // The value as QuerySTRING reads it, or "<none>".
  std::wstring QueryString(const std::wstring& below, const std::wstring& name) {
    Variant value = hg::test::Text(L"old");
    const bool found = Flag([&](VARIANT_BOOL* r) {
      return registry->QuerySTRING(kCurrentUser, Bstr(Path(below)), Bstr(name), Ref(value), r);
    });
    EXPECT_TRUE(found || TextOf(value.get()).empty()) << "a missing value empties the variable";
    return found ? TextOf(value.get()) : L"<none>";
  }
  bool SetString(const std::wstring& below, const std::wstring& name, const std::wstring& text) {
    return Flag([&](VARIANT_BOOL* r) {
      return registry->SetSTRING(kCurrentUser, Bstr(Path(below)), Bstr(name), Bstr(text), r);
    });
  }
  // The calls that tell why they failed in `cause`.
  bool DeleteKeyEx(enRegistryKey root, const std::wstring& subKey) {
    return Flag([&](VARIANT_BOOL* r) { return registry->DeleteKeyEx(root, Bstr(subKey), cause.put(), r); });
  }
  bool CopySubKey(const std::wstring& from, const std::wstring& to) {
    return Flag([&](VARIANT_BOOL* r) {
      return registry->CopySubKey(kCurrentUser, Bstr(Path(from)), kCurrentUser, Bstr(Path(to)), cause.put(), r);
    });
  }
  bool CopySingleValue(const std::wstring& from, const std::wstring& name, const std::wstring& to) {
    return Flag([&](VARIANT_BOOL* r) {
      return registry->CopySingleValue(kCurrentUser, Bstr(Path(from)), Bstr(name), kCurrentUser, Bstr(Path(to)),
                                       cause.put(), r);
    });
  }
  std::wstring Cause() const { return TextOf(cause.get()); }
  std::wstring OpenKeyFailed(const std::wstring& below) const {
    return L"OpenKey failed('HKEY_CURRENT_USER\\" + Path(below) + L"', ReadOnly=True)";
  }
  std::wstring Export(enRegistryKey root, const std::wstring& subKey) {
    Variant path = hg::test::Text(subKey);
    unique_bstr text;
    EXPECT_EQ(registry->SaveAsReg50(root, Ref(path), text.put()), S_OK);
    return text ? TextOf(text) : L"<failed>";
  }

  hg::test::ComApartment com;
  com_ptr<_CRegistry> registry = hg::test::Create<_CRegistry>(CLSID_CRegistry, IID__CRegistry);
  const std::wstring base = L"Software\\tkShared registry test " + std::to_wstring(::GetCurrentProcessId());
  Variant cause;
};

TEST_F(RegistryTest, GetKeyNameUnknownRootsAndOverLongNames) {
  EXPECT_EQ(hg::test::Str([&](BSTR* name) { return registry->GetKeyName(kLocalMachine32, name); }),
            L"HKEY_LOCAL_MACHINE");
  EXPECT_EQ(hg::test::Str([&](BSTR* name) { return registry->GetKeyName(kUnknownRoot, name); }), L"7");
  const std::wstring overLong = Path(std::wstring(300, L'k'));
  for (const auto& [root, key] : {std::pair{kUnknownRoot, base}, std::pair{kCurrentUser, overLong}}) {
    EXPECT_FALSE(Flag([&](VARIANT_BOOL* r) { return registry->SetSTRING(root, Bstr(key), Bstr(L"v"),
        Bstr(L"x"), r); }));
    EXPECT_FALSE(Flag([&](VARIANT_BOOL* r) { return registry->IsKeyExist(root, Bstr(key), r); }));
  }
}

TEST_F(RegistryTest, QueryStringReadsTextsOfAnyLengthAndOtherTypesUpToTheFirstZeroUnit) {
  const std::wstring text = L"Gr\u00fc\u00dfe \u4e2d\u6587 \u03a9";
  ASSERT_TRUE(SetString(L"\u00c4 key", L"\u03a9 name", text));
  EXPECT_EQ(Read(L"\u00c4 key", L"\u03a9 name").first, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(QueryString(L"\u00c4 key", L"\u03a9 name"), text);
  EXPECT_EQ(QueryString(L"", L"absent"), L"<none>");
  const DWORD letter = 0x41;
  Write(L"", L"number", REG_DWORD, &letter, sizeof(letter));
  EXPECT_EQ(QueryString(L"", L"number"), L"A");
  const std::wstring longText(40000, L'x');  // longer than 64 KB
  ASSERT_TRUE(SetString(L"", L"long", longText));
  EXPECT_EQ(QueryString(L"", L"long"), longText);
}

TEST_F(RegistryTest, DwordRoundTripsAndRefusesLargerValues) {
  EXPECT_TRUE(Flag([&](VARIANT_BOOL* r) { return registry->SetDWORD(kCurrentUser, Bstr(base), Bstr(L"n"), -2, r); }));
  EXPECT_EQ(Read(L"", L"n").first, static_cast<DWORD>(REG_DWORD));
  WriteText(L"", L"text", L"longer than four bytes");
  WriteBytes(L"", L"four", {1, 2, 3, 4});
  const struct {
    const wchar_t* name;
    bool read;
    LONG value;
  } cases[] = {{L"n", true, -2}, {L"text", false, 0}, {L"four", true, 0x04030201}};
  for (const auto& [name, read, expected] : cases) {
    Variant value;
    EXPECT_EQ(Flag([&](VARIANT_BOOL* r) { return registry->QueryDWORD(kCurrentUser, Bstr(base),
        Bstr(name), Ref(value), r); }),
              read) << name;
    EXPECT_EQ(value.type(), read ? VT_I4 : VT_EMPTY) << name;
    EXPECT_EQ(read ? value.get().lVal : expected, expected) << name;
  }
}

TEST_F(RegistryTest, QueryBinaryFillsTheBufferAndReportsTheLength) {
  const auto setBinary = [&](const wchar_t* name, const Variant& data, LONG length) {
    return Flag([&](VARIANT_BOOL* r) { return registry->SetBINARY(kCurrentUser, Bstr(base),
        Bstr(name), data.get(), length, r); });
  };
  ASSERT_TRUE(setBinary(L"bin", hg::test::Bytes("\xF0\xF1\xF2\xF3\xF4"), 5));
  EXPECT_EQ(Read(L"", L"bin").first, static_cast<DWORD>(REG_BINARY));
  const auto queryBinary = [&](const Variant& buffer, Variant& length) {
    return Flag([&](VARIANT_BOOL* r) { return registry->QueryBINARY(kCurrentUser, Bstr(base),
        Bstr(L"bin"), Ref(buffer), Ref(length), r); });
  };
  const Variant buffer = hg::test::Bytes(std::string_view("\0\1\2\3\4\5\6\7", 8));
  Variant length;
  EXPECT_TRUE(queryBinary(buffer, length));
  EXPECT_EQ(length.get().lVal, 5);
  EXPECT_EQ(hg::test::BytesOf(buffer.get()), std::string_view("\xF0\xF1\xF2\xF3\xF4\5\6\7", 8));
  const Variant small = hg::test::Bytes(std::string_view("\0\1", 2));
  EXPECT_FALSE(queryBinary(small, length));
  EXPECT_EQ(hg::test::BytesOf(small.get()), std::string_view("\0\1", 2));

  // No allocated array to fill.
  const Variant text = hg::test::Text(L"not an array");
  VARIANT_BOOL done = VARIANT_FALSE;
  EXPECT_EQ(registry->QueryBINARY(kCurrentUser, Bstr(base), Bstr(L"bin"), Ref(text), Ref(length), &done), E_INVALIDARG);
  VARIANT unallocated;
  unallocated.vt = VT_ARRAY | VT_UI1;
  unallocated.parray = nullptr;
  EXPECT_EQ(registry->QueryBINARY(kCurrentUser, Bstr(base), Bstr(L"bin"), &unallocated, Ref(length), &done),
            static_cast<HRESULT>(0x800A0009));
}

TEST_F(RegistryTest, SetBinaryRefusesALengthBeyondTheArrayAndWritesNothing) {
  const Variant data = hg::test::Bytes("abc");
  VARIANT_BOOL done = VARIANT_TRUE;
  EXPECT_EQ(registry->SetBINARY(kCurrentUser, Bstr(base), Bstr(L"bin"), data.get(), 4, &done), E_INVALIDARG);
  EXPECT_FALSE(KeyExists(L""));
  ASSERT_EQ(registry->SetBINARY(kCurrentUser, Bstr(base), Bstr(L"empty"), data.get(), 0, &done), S_OK);
  EXPECT_TRUE(done);
  EXPECT_EQ(Read(L"", L"empty"), (std::pair<DWORD, std::vector<BYTE>>{REG_BINARY, {}}));
}

TEST_F(RegistryTest, SetBinaryLeavesAnArrayOfUnknownElementTypeUnlocked) {
  // Built without its element type, as a C++ caller may: the type query fails.
  SAFEARRAY* array = nullptr;
  ASSERT_EQ(::SafeArrayAllocDescriptor(1, &array), S_OK);
  array->cbElements = 1;
  array->rgsabound[0] = {3, 0};
  ASSERT_EQ(::SafeArrayAllocData(array), S_OK);
  VARTYPE type = VT_EMPTY;
  ASSERT_TRUE(FAILED(::SafeArrayGetVartype(array, &type)));
  VARIANT_BOOL done = VARIANT_TRUE;
  EXPECT_TRUE(FAILED(registry->SetBINARY(kCurrentUser, Bstr(base), Bstr(L"bin"),
      hg::win::BorrowedArray(array), 3, &done)));
  EXPECT_EQ(array->cLocks, 0u);
  EXPECT_EQ(::SafeArrayDestroy(array), S_OK);
}

TEST_F(RegistryTest, DeleteValueTakesAMissingKeyAsSuccessButNotAMissingValue) {
  WriteText(L"", L"v", L"x");
  const auto deleteValue = [&](const std::wstring& key) {
    return Flag([&](VARIANT_BOOL* r) { return registry->DeleteValue(kCurrentUser, Bstr(key), Bstr(L"v"), r); });
  };
  EXPECT_TRUE(deleteValue(base));
  EXPECT_EQ(Read(L"", L"v").first, static_cast<DWORD>(REG_NONE));
  EXPECT_FALSE(deleteValue(base));
  EXPECT_TRUE(deleteValue(Path(L"absent")));
}

TEST_F(RegistryTest, DeleteKeyExDeletesADeepTreeOrSaysWhy) {
  std::wstring deep = L"tree";
  for (int level = 1; level < 50; ++level) deep += L"\\\u00e9\u4e2d" + std::to_wstring(level);
  WriteText(deep, L"leaf", L"x");
  WriteText(L"tree\\\u00e9\u4e2d1\\side", L"", L"y");
  MakeKey(L"keep");
  EXPECT_TRUE(DeleteKeyEx(kCurrentUser, Path(L"tree\\")));  // a trailing backslash
  EXPECT_EQ(Cause(), L"");
  EXPECT_FALSE(KeyExists(L"tree"));
  EXPECT_TRUE(KeyExists(L"keep"));
  EXPECT_TRUE(DeleteKeyEx(kCurrentUser, Path(L"absent")));
  // The text of the status the delete returned.
  EXPECT_FALSE(DeleteKeyEx(kUnknownRoot, L"Software\\X"));
  EXPECT_EQ(Cause(), SystemText(ERROR_INVALID_HANDLE));
  EXPECT_NE(Cause(), L"");
}

TEST_F(RegistryTest, DeleteKeyExRefusesSubKeysThatNameTheRoot) {
  MakeKey(L"");
  for (const wchar_t* subKey : {L"", L"\\", L"\\\\"}) {
    VARIANT_BOOL done = VARIANT_TRUE;
    EXPECT_EQ(registry->DeleteKeyEx(kCurrentUser, Bstr(subKey), cause.put(), &done), E_INVALIDARG)
        << "subkey '" << hg::win::Narrow(subKey) << "'";
    EXPECT_EQ(registry->DeleteKey(kCurrentUser, Bstr(subKey), &done), E_INVALIDARG);
  }
  EXPECT_TRUE(KeyExists(L""));
}

// On a 64 KB stack, where a walk that took stack per level would overflow.
TEST_F(RegistryTest, ADeepTreeIsCopiedExportedAndDeletedOnASmallStack) {
  std::wstring deep = L"deep";
  for (int level = 0; level < 400; ++level) deep += L"\\k";
  WriteText(deep, L"v", L"x");
  const auto work = [&] {
    EXPECT_TRUE(CopySubKey(L"deep", L"copy")) << Cause();
    EXPECT_EQ(Read(L"copy\\" + deep, L"v").first, static_cast<DWORD>(REG_SZ));
    EXPECT_NE(Export(kCurrentUser, Path(L"deep")).find(deep + L"]"), std::wstring::npos);
    for (const wchar_t* tree : {L"copy", L"deep"}) {
      EXPECT_TRUE(DeleteKeyEx(kCurrentUser, Path(tree))) << Cause();
      EXPECT_FALSE(KeyExists(tree));
    }
  };
  EXPECT_TRUE(hg::test::RunOnSmallStack(work)) << "the walk overflowed its stack";
}

// The system reads a name up to its first NUL: cut there, each of these names
// would name the key "keep" or its value "v".
TEST_F(RegistryTest, NamesHoldingANulAreRefusedAndTouchNothing) {
  MakeKey(L"keep\\child");
  WriteText(L"keep", L"v", L"x");
  const std::wstring keep = Path(L"keep");
  const std::wstring cutKey = keep + L'\0' + L"\\junk";
  const std::wstring cutValue = std::wstring(L"v") + L'\0' + L"junk";
  EXPECT_FALSE(DeleteKeyEx(kCurrentUser, cutKey));
  EXPECT_NE(Cause().find(L"NUL"), std::wstring::npos) << Cause();
  const std::function<HRESULT(VARIANT_BOOL*)> refused[] = {
      [&](VARIANT_BOOL* r) { return registry->DeleteKey(kCurrentUser, Bstr(cutKey), r); },
      [&](VARIANT_BOOL* r) { return registry->DeleteValue(kCurrentUser, Bstr(keep), Bstr(cutValue), r); },
      [&](VARIANT_BOOL* r) { return registry->IsKeyExist(kCurrentUser, Bstr(cutKey), r); },
      [&](VARIANT_BOOL* r) { return registry->SetSTRING(kCurrentUser, Bstr(keep), Bstr(cutValue), Bstr(L"lost"), r); },
  };
  for (const auto& call : refused) EXPECT_FALSE(Flag(call));
  const Variant path = hg::test::Text(cutKey);
  unique_bstr text;
  EXPECT_EQ(registry->SaveAsReg50(kCurrentUser, Ref(path), text.put()), E_INVALIDARG);
  EXPECT_TRUE(KeyExists(L"keep\\child"));
  EXPECT_EQ(QueryString(L"keep", L"v"), L"x");
}

TEST_F(RegistryTest, EnumKeyListsSubKeysReachableByNameAndIsKeyExistSeesThem) {
  MakeKey(L"Alpha");
  MakeKey(L"\u0411eta");
  com_ptr<_CCollection> keys;
  ASSERT_EQ(registry->EnumKey(kCurrentUser, Bstr(base), keys.put()), S_OK);
  EXPECT_EQ(hg::test::Items(keys.get()), (std::vector<std::wstring>{L"Alpha", L"\u0411eta"}));
  Variant item;
  ASSERT_EQ(keys->get_Item(hg::test::Text(L"alpha").get(), item.put()), S_OK);
  EXPECT_EQ(TextOf(item.get()), L"Alpha");
  ASSERT_EQ(registry->EnumKey(kCurrentUser, Bstr(Path(L"absent")), keys.put()), S_OK);
  EXPECT_TRUE(hg::test::Items(keys.get()).empty());
  const auto exists = [&](const wchar_t* below) {
    return Flag([&](VARIANT_BOOL* r) { return registry->IsKeyExist(kCurrentUser, Bstr(Path(below)), r); });
  };
  EXPECT_TRUE(exists(L"Alpha"));
  EXPECT_FALSE(exists(L"absent"));
}

TEST_F(RegistryTest, EnumValuesListsValuesAfterOneWithLargeDataOrSaysWhyNot) {
  WriteText(L"", L"first", L"1");
  WriteBytes(L"", L"big", std::vector<BYTE>(10000, 0xAB));
  WriteText(L"", L"\u00fcber", L"3");
  const struct {
    std::wstring key;
    bool listed;
    std::vector<std::wstring> names;
  } cases[] = {{base, true, {L"big", L"first", L"\u00fcber"}}, {Path(L"absent"), false, {}}};
  for (const auto& [key, listed, names] : cases) {
    Variant result;
    EXPECT_EQ(Flag([&](VARIANT_BOOL* r) { return registry->EnumValuesEx(kCurrentUser, Bstr(key),
        Ref(result), cause.put(), r); }),
              listed);
    EXPECT_EQ(listed || Cause() == OpenKeyFailed(L"absent"), true) << hg::win::Narrow(Cause());
    ASSERT_EQ(result.type(), VT_DISPATCH);
    auto found = hg::test::Items(com_ptr<IDispatch>(result.get().pdispVal).query<_CCollection>(IID__CCollection).get());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, names);
    com_ptr<_CCollection> plain;
    ASSERT_EQ(registry->EnumValues(kCurrentUser, Bstr(key), plain.put()), S_OK);
    EXPECT_EQ(hg::test::Items(plain.get()).size(), names.size());
  }
}

TEST_F(RegistryTest, SaveAsReg50WritesTheTreeDepthFirst) {
  const DWORD one = 1;
  Write(L"A", L"Enabled", REG_DWORD, &one, sizeof(one));
  WriteText(L"A\\B", L"", L"C:\\a \"b\"");
  MakeKey(L"A\\B\\C");
  MakeKey(L"A\\D");
  const std::wstring key = L"[HKEY_CURRENT_USER\\" + Path(L"A");
  const std::wstring text = Export(kCurrentUser, Path(L"A"));
  EXPECT_EQ(text, L"\r\n" + key + L"]\r\n\"Enabled\"=dword:00000001\r\n"
                  L"\r\n" + key + L"\\B]\r\n@=\"C:\\\\a \\\"b\\\"\"\r\n"
                  L"\r\n" + key + L"\\B\\C]\r\n"
                  L"\r\n" + key + L"\\D]\r\n");
  // One trailing backslash goes from the caller's own variable.
  Variant path = hg::test::Text(Path(L"A\\"));
  VARIANT byReference;
  byReference.vt = VT_BYREF | VT_VARIANT;
  byReference.pvarVal = Ref(path);
  EXPECT_EQ(hg::test::Str([&](BSTR* out) { return registry->SaveAsReg50(kCurrentUser, &byReference, out); }), text);
  EXPECT_EQ(TextOf(path.get()), Path(L"A"));
}

TEST_F(RegistryTest, SaveAsReg50ExportsLargeValuesWhole) {
  WriteBytes(L"", L"big", std::vector<BYTE>(5000, 0x5A));
  WriteText(L"", L"after", L"z");
  const std::wstring text = Export(kCurrentUser, base);
  const auto start = text.find(L"\"big\"=hex:");
  ASSERT_NE(start, std::wstring::npos) << hg::win::Narrow(text);
  EXPECT_NE(text.find(L"\"after\"=\"z\"\r\n"), std::wstring::npos);
  const auto end = std::min(text.find(L"\r\n\"", start), text.size());
  std::size_t bytes = 0;
  for (auto at = text.find(L"5a", start); at < end; at = text.find(L"5a", at + 2)) ++bytes;
  EXPECT_EQ(bytes, 5000u);
}

TEST_F(RegistryTest, SaveAsReg50OfAMissingKeyTheNativeViewAndUnknownRoots) {
  EXPECT_EQ(Export(kCurrentUser, Path(L"absent")), L"");
  const std::wstring native = Export(kLocalMachine64, L"Software\\Classes\\CLSID\\");
  EXPECT_EQ(native.rfind(L"\r\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID]\r\n", 0), 0u)
      << hg::win::Narrow(native.substr(0, 200));
  const Variant path = hg::test::Text(base);
  unique_bstr text;
  EXPECT_EQ(registry->SaveAsReg50(kUnknownRoot, Ref(path), text.put()), E_NOTIMPL);
  EXPECT_EQ(registry->SaveSingleValueAsReg50(kUnknownRoot, Bstr(base), Bstr(L"v"), text.put()), E_NOTIMPL);
}

TEST_F(RegistryTest, SaveSingleValueAsReg50FindsTheValueIgnoringCase) {
  const DWORD one = 1;
  Write(L"", L"Enabled", REG_DWORD, &one, sizeof(one));
  MakeKey(L"child");
  const auto single = [&](const std::wstring& key, const wchar_t* name) {
    return hg::test::Str([&](BSTR* out) { return registry->SaveSingleValueAsReg50(kCurrentUser,
        Bstr(key), Bstr(name), out); });
  };
  EXPECT_EQ(single(base + L"\\", L"ENABLED"),
      L"\r\n[HKEY_CURRENT_USER\\" + base + L"]\r\n\"Enabled\"=dword:00000001\r\n");
  EXPECT_EQ(single(base, L"absent"), L"");
}

TEST_F(RegistryTest, CopySubKeyCopiesATreeThatExportsTheSameFromItsNewPlace) {
  const DWORD number = 0x12345678;
  const std::vector<BYTE> large(70000, 0x11);
  const std::wstring expand = L"%SystemRoot%\\x";
  const wchar_t multi[] = L"one\0two\0";
  WriteText(L"src\\B", L"text", L"C:\\a \"b\"");
  WriteText(L"src\\B", L"", L"default");
  Write(L"src\\B", L"number", REG_DWORD, &number, sizeof(number));
  WriteBytes(L"src\\B", L"binary", std::vector<BYTE>(30, 0x7F));
  WriteBytes(L"src\\B", L"large", large);
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
  EXPECT_NE(copied.find(L"hex(2):"), std::wstring::npos);
  EXPECT_NE(copied.find(L"\"deep\"=\"x\""), std::wstring::npos);
  EXPECT_EQ(Read(L"dst\\B", L"large").second, large);
}

TEST_F(RegistryTest, CopySubKeyRefusesADestinationInsideTheSourceOrAMissingSource) {
  WriteText(L"src", L"v", L"x");
  EXPECT_FALSE(CopySubKey(L"src", L"SRC\\inner"));
  EXPECT_NE(Cause(), L"");
  EXPECT_FALSE(KeyExists(L"src\\inner"));
  EXPECT_FALSE(CopySubKey(L"absent", L"dst"));
  EXPECT_EQ(Cause(), OpenKeyFailed(L"absent"));
  EXPECT_FALSE(KeyExists(L"dst"));
}

TEST_F(RegistryTest, CopySingleValueCopiesLargeDataWholeOrGivesTheSystemMessage) {
  const std::vector<BYTE> large(100000, 0x22);
  WriteBytes(L"src", L"large", large);
  EXPECT_TRUE(CopySingleValue(L"src", L"large", L"to\\here")) << hg::win::Narrow(Cause());
  EXPECT_EQ(Read(L"to\\here", L"large"), (std::pair<DWORD, std::vector<BYTE>>{REG_BINARY, large}));
  EXPECT_FALSE(CopySingleValue(L"src", L"absent", L"to\\there"));
  EXPECT_EQ(Cause(), SystemText(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(KeyExists(L"to\\there"));
}

// Registers a class of its own with a category of its own in both views of
// HKEY_CLASSES_ROOT; a test may add a second class in the 32-bit view only.
class CategoryTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    Register(clsid, KEY_WOW64_64KEY);
    Register(clsid, KEY_WOW64_32KEY);
  }
  void TearDown() override {
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      unique_hkey classes;
      if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_ALL_ACCESS | view, classes.put()) != ERROR_SUCCESS) {
        classes.release();
        continue;
      }
      for (const std::wstring& id : {clsid, clsid32}) ::RegDeleteTreeW(classes.get(), id.c_str());
    }
    RegistryTest::TearDown();
  }
  static std::wstring NewGuid() {
    GUID guid;
    EXPECT_EQ(::CoCreateGuid(&guid), S_OK);
    return hg::test::GuidText(guid);
  }
  std::wstring CategoryKey(const std::wstring& id) const {
    return L"CLSID\\" + id + L"\\Implemented Categories\\" + category;
  }
  void Register(const std::wstring& id, REGSAM view) {
    unique_hkey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, CategoryKey(id).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
  }
  std::vector<std::wstring> Classes(bool include32, bool include64) {
    com_ptr<_CCollection> found;
    EXPECT_EQ(registry->EnumClassesOfCategory(Bstr(category), hg::win::VariantBool(include32),
                                              hg::win::VariantBool(include64), found.put()),
              S_OK);
    auto items = hg::test::Items(found.get());
    std::sort(items.begin(), items.end());
    return items;
  }

  const std::wstring clsid = NewGuid();
  const std::wstring clsid32 = NewGuid();
  const std::wstring category = NewGuid();
};

TEST_F(CategoryTest, EnumClassesOfCategoryListsAClassOfBothViewsOnce) {
  const std::vector<std::wstring> one{clsid};
  EXPECT_EQ(Classes(true, true), one);
  EXPECT_EQ(Classes(true, false), one);
  EXPECT_EQ(Classes(false, true), one);
  EXPECT_TRUE(Classes(false, false).empty());
}

TEST_F(CategoryTest, EnumClassesOfCategoryListsAClassOfThe32bitViewOnlyWithThe32bitFlag) {
  Register(clsid32, KEY_WOW64_32KEY);
  // Without the views kept apart the test below would prove nothing.
  unique_hkey native;
  ASSERT_NE(::RegOpenKeyExW(HKEY_CLASSES_ROOT, CategoryKey(clsid32).c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                            native.put()),
            ERROR_SUCCESS);
  native.release();
  auto both = std::vector<std::wstring>{clsid, clsid32};
  std::sort(both.begin(), both.end());
  EXPECT_EQ(Classes(true, false), both);
  EXPECT_EQ(Classes(false, true), std::vector<std::wstring>{clsid});
  EXPECT_EQ(Classes(true, true), both);
}

TEST(RegistryScripts, VBScriptClientUsesTheRegistryLateBound) { hg::test::ExpectScriptPasses(L"registry_test.vbs"); }

}  // namespace
