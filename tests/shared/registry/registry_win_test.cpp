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
#include "tests/support/registry_probe.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::win::com_ptr;
using hg::win::unique_bstr;
using hg::win::unique_hkey;
using hg::win::Variant;

constexpr auto kCurrentUser = static_cast<enRegistryKey>(0x80000001);
constexpr auto kClassesRoot = static_cast<enRegistryKey>(0x80000000);
constexpr auto kLocalMachine32 = static_cast<enRegistryKey>(0x80000002);
constexpr auto kLocalMachine64 = static_cast<enRegistryKey>(1);
constexpr auto kUnknownRoot = static_cast<enRegistryKey>(7);

unique_bstr B(const std::wstring& text) { return hg::win::MakeBstr(std::wstring_view(text)); }

// The VARIANT a Variant owns, for [in, out] parameters.
VARIANT* Ref(Variant& value) { return const_cast<VARIANT*>(&value.get()); }

Variant TextVariant(const std::wstring& text) {
  Variant value;
  VARIANT* slot = value.put();
  slot->vt = VT_BSTR;
  slot->bstrVal = B(text).release();
  return value;
}

std::wstring TextOf(const Variant& value) {
  return value.type() == VT_BSTR ? std::wstring(value.get().bstrVal, ::SysStringLen(value.get().bstrVal))
                                 : L"<not text>";
}

std::wstring SystemText(DWORD code) {
  wchar_t buffer[1000];
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, buffer, 1000, nullptr);
  std::wstring text(buffer, length);
  for (auto& c : text) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  std::wstring folded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    folded += text[i];
    if (text[i] == L' ' && i + 1 < text.size() && text[i + 1] == L' ') ++i;
  }
  return folded;
}

std::vector<std::wstring> Items(_CCollection* collection) {
  std::vector<std::wstring> items;
  LONG count = 0;
  if (!collection || FAILED(collection->get_Count(&count))) return {L"<no collection>"};
  for (LONG i = 1; i <= count; ++i) {
    VARIANT index;
    index.vt = VT_I4;
    index.lVal = i;
    Variant item;
    collection->get_Item(index, item.put());
    items.push_back(TextOf(item));
  }
  return items;
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = L"Software\\tkShared registry test " + std::to_wstring(::GetCurrentProcessId());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
    ASSERT_EQ(::CoCreateInstance(CLSID_CRegistry, nullptr, CLSCTX_INPROC_SERVER, IID__CRegistry,
                                 registry.put_void()),
              S_OK);
  }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str()); }

  std::wstring Path(const std::wstring& below) const { return below.empty() ? base : base + L"\\" + below; }

  void Write(const std::wstring& below, const std::wstring& name, DWORD type, const void* data,
             DWORD size) {
    unique_hkey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, Path(below).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  void WriteText(const std::wstring& below, const std::wstring& name, const std::wstring& text) {
    Write(below, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  void MakeKey(const std::wstring& below) {
    unique_hkey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, Path(below).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
  }
  // The stored type and bytes of a value, or type REG_NONE with no bytes when it is absent.
  std::pair<DWORD, std::vector<BYTE>> Read(const std::wstring& below, const std::wstring& name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, Path(below).c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                       &type, nullptr, &size) != ERROR_SUCCESS) {
      return {REG_NONE, {}};
    }
    std::vector<BYTE> data(size);
    ::RegGetValueW(HKEY_CURRENT_USER, Path(below).c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                   &type, data.data(), &size);
    data.resize(size);
    return {type, data};
  }

  bool QueryString(const std::wstring& below, const std::wstring& name, Variant& value) {
    VARIANT_BOOL found = VARIANT_FALSE;
    EXPECT_EQ(registry->QuerySTRING(kCurrentUser, B(Path(below)).get(), B(name).get(),
                                    Ref(value), &found),
              S_OK);
    return found != VARIANT_FALSE;
  }
  bool SetString(const std::wstring& below, const std::wstring& name, const std::wstring& text) {
    VARIANT_BOOL done = VARIANT_FALSE;
    EXPECT_EQ(registry->SetSTRING(kCurrentUser, B(Path(below)).get(), B(name).get(), B(text).get(), &done),
              S_OK);
    return done != VARIANT_FALSE;
  }
  std::wstring Export(enRegistryKey root, const std::wstring& subKey) {
    Variant path = TextVariant(subKey);
    unique_bstr text;
    EXPECT_EQ(registry->SaveAsReg50(root, Ref(path), text.put()), S_OK);
    return text ? std::wstring(text.get(), ::SysStringLen(text.get())) : L"<failed>";
  }

  hg::test::ComApartment com;
  com_ptr<_CRegistry> registry;
  std::wstring base;
};

// A byte array of the given size, owned by a Variant.
Variant ByteArray(std::size_t size, BYTE first = 0) {
  Variant value;
  SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size));
  BYTE* bytes = nullptr;
  ::SafeArrayAccessData(array, reinterpret_cast<void**>(&bytes));
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(first + i);
  ::SafeArrayUnaccessData(array);
  VARIANT* slot = value.put();
  slot->vt = VT_ARRAY | VT_UI1;
  slot->parray = array;
  return value;
}

std::vector<BYTE> BytesIn(const Variant& value) {
  SAFEARRAY* array = value.get().parray;
  std::vector<BYTE> bytes(array->rgsabound[0].cElements);
  BYTE* data = nullptr;
  ::SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
  std::copy(data, data + bytes.size(), bytes.begin());
  ::SafeArrayUnaccessData(array);
  return bytes;
}

TEST_F(RegistryTest, GetKeyNameGivesPlainNamesForAliasesAndNumbersForOthers) {
  unique_bstr name;
  ASSERT_EQ(registry->GetKeyName(kLocalMachine32, name.put()), S_OK);
  EXPECT_STREQ(name.get(), L"HKEY_LOCAL_MACHINE");
  ASSERT_EQ(registry->GetKeyName(kUnknownRoot, name.put()), S_OK);
  EXPECT_STREQ(name.get(), L"7");
}

TEST_F(RegistryTest, UnknownRootsAndOverLongNamesFail) {
  VARIANT_BOOL result = VARIANT_TRUE;
  ASSERT_EQ(registry->SetSTRING(kUnknownRoot, B(base).get(), B(L"v").get(), B(L"x").get(), &result), S_OK);
  EXPECT_FALSE(result);
  ASSERT_EQ(registry->IsKeyExist(kUnknownRoot, B(L"").get(), &result), S_OK);
  EXPECT_FALSE(result);
  const std::wstring overLong = Path(std::wstring(300, L'k'));
  ASSERT_EQ(registry->SetSTRING(kCurrentUser, B(overLong).get(), B(L"v").get(), B(L"x").get(), &result), S_OK);
  EXPECT_FALSE(result);
  ASSERT_EQ(registry->IsKeyExist(kCurrentUser, B(overLong).get(), &result), S_OK);
  EXPECT_FALSE(result);
}

TEST_F(RegistryTest, SetStringStoresUnicodeNamesAndTextsAndReadsThemBack) {
  const std::wstring text = L"Gr\u00fc\u00dfe \u4e2d\u6587 \u03a9";
  ASSERT_TRUE(SetString(L"\u00c4 key", L"\u03a9 name", text));
  const auto stored = Read(L"\u00c4 key", L"\u03a9 name");
  EXPECT_EQ(stored.first, static_cast<DWORD>(REG_SZ));
  Variant value;
  EXPECT_TRUE(QueryString(L"\u00c4 key", L"\u03a9 name", value));
  EXPECT_EQ(TextOf(value), text);
}

TEST_F(RegistryTest, QueryStringOfAMissingValueIsFalseAndEmptiesValue) {
  MakeKey(L"");
  Variant value = TextVariant(L"old");
  EXPECT_FALSE(QueryString(L"", L"absent", value));
  EXPECT_EQ(TextOf(value), L"");
}

TEST_F(RegistryTest, QueryStringReadsAnyTypeAsTextUpToTheFirstZeroUnit) {
  const DWORD letter = 0x41;
  Write(L"", L"number", REG_DWORD, &letter, sizeof(letter));
  Variant value;
  EXPECT_TRUE(QueryString(L"", L"number", value));
  EXPECT_EQ(TextOf(value), L"A");
}

TEST_F(RegistryTest, QueryStringReadsTextsLongerThanSixtyFourKilobytes) {
  const std::wstring text(40000, L'x');
  ASSERT_TRUE(SetString(L"", L"long", text));
  Variant value;
  EXPECT_TRUE(QueryString(L"", L"long", value));
  EXPECT_EQ(TextOf(value), text);
}

TEST_F(RegistryTest, DwordRoundTripsAndRefusesLargerValues) {
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(registry->SetDWORD(kCurrentUser, B(base).get(), B(L"n").get(), -2, &done), S_OK);
  EXPECT_TRUE(done);
  EXPECT_EQ(Read(L"", L"n").first, static_cast<DWORD>(REG_DWORD));
  Variant value;
  ASSERT_EQ(registry->QueryDWORD(kCurrentUser, B(base).get(), B(L"n").get(),
                                 Ref(value), &done), S_OK);
  EXPECT_TRUE(done);
  ASSERT_EQ(value.type(), VT_I4);
  EXPECT_EQ(value.get().lVal, -2);

  WriteText(L"", L"text", L"longer than four bytes");
  Variant untouched;
  ASSERT_EQ(registry->QueryDWORD(kCurrentUser, B(base).get(), B(L"text").get(),
                                 Ref(untouched), &done), S_OK);
  EXPECT_FALSE(done);
  EXPECT_EQ(untouched.type(), VT_EMPTY);

  const BYTE four[] = {1, 2, 3, 4};
  Write(L"", L"four", REG_BINARY, four, sizeof(four));
  ASSERT_EQ(registry->QueryDWORD(kCurrentUser, B(base).get(), B(L"four").get(), Ref(value), &done), S_OK);
  EXPECT_TRUE(done);
  EXPECT_EQ(value.get().lVal, 0x04030201);
}

TEST_F(RegistryTest, QueryBinaryFillsTheBufferAndReportsTheLength) {
  Variant data = ByteArray(5, 0xF0);
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(registry->SetBINARY(kCurrentUser, B(base).get(), B(L"bin").get(), data.get(), 5, &done), S_OK);
  ASSERT_TRUE(done);
  EXPECT_EQ(Read(L"", L"bin").first, static_cast<DWORD>(REG_BINARY));

  Variant buffer = ByteArray(8);
  Variant length;
  ASSERT_EQ(registry->QueryBINARY(kCurrentUser, B(base).get(), B(L"bin").get(),
                                  Ref(buffer),
                                  Ref(length), &done), S_OK);
  EXPECT_TRUE(done);
  EXPECT_EQ(length.get().lVal, 5);
  EXPECT_EQ(BytesIn(buffer), (std::vector<BYTE>{0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 5, 6, 7}));

  Variant small = ByteArray(2);
  ASSERT_EQ(registry->QueryBINARY(kCurrentUser, B(base).get(), B(L"bin").get(),
                                  Ref(small),
                                  Ref(length), &done), S_OK);
  EXPECT_FALSE(done);
  EXPECT_EQ(BytesIn(small), (std::vector<BYTE>{0, 1}));
}

TEST_F(RegistryTest, QueryBinaryRefusesAValueThatIsNoAllocatedArray) {
  Variant text = TextVariant(L"not an array");
  Variant length;
  VARIANT_BOOL done = VARIANT_FALSE;
  EXPECT_EQ(registry->QueryBINARY(kCurrentUser, B(base).get(), B(L"bin").get(),
                                  Ref(text),
                                  Ref(length), &done),
            E_INVALIDARG);
  VARIANT unallocated;
  unallocated.vt = VT_ARRAY | VT_UI1;
  unallocated.parray = nullptr;
  EXPECT_EQ(registry->QueryBINARY(kCurrentUser, B(base).get(), B(L"bin").get(), &unallocated,
                                  Ref(length), &done),
            static_cast<HRESULT>(0x800A0009));
}

TEST_F(RegistryTest, SetBinaryRefusesALengthBeyondTheArrayAndWritesNothing) {
  Variant data = ByteArray(3);
  VARIANT_BOOL done = VARIANT_TRUE;
  EXPECT_EQ(registry->SetBINARY(kCurrentUser, B(base).get(), B(L"bin").get(), data.get(), 4, &done),
            E_INVALIDARG);
  EXPECT_FALSE(hg::test::KeyExists(HKEY_CURRENT_USER, base));
  ASSERT_EQ(registry->SetBINARY(kCurrentUser, B(base).get(), B(L"empty").get(), data.get(), 0, &done), S_OK);
  EXPECT_TRUE(done);
  const auto stored = Read(L"", L"empty");
  EXPECT_EQ(stored.first, static_cast<DWORD>(REG_BINARY));
  EXPECT_TRUE(stored.second.empty());
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
  VARIANT value;
  value.vt = VT_ARRAY | VT_UI1;
  value.parray = array;
  VARIANT_BOOL done = VARIANT_TRUE;
  EXPECT_TRUE(FAILED(registry->SetBINARY(kCurrentUser, B(base).get(), B(L"bin").get(), value, 3, &done)));
  EXPECT_EQ(array->cLocks, 0u);
  EXPECT_EQ(::SafeArrayDestroy(array), S_OK);
}

TEST_F(RegistryTest, DeleteValueTakesAMissingKeyAsSuccessButNotAMissingValue) {
  WriteText(L"", L"v", L"x");
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(registry->DeleteValue(kCurrentUser, B(base).get(), B(L"v").get(), &done), S_OK);
  EXPECT_TRUE(done);
  EXPECT_EQ(Read(L"", L"v").first, static_cast<DWORD>(REG_NONE));
  ASSERT_EQ(registry->DeleteValue(kCurrentUser, B(base).get(), B(L"v").get(), &done), S_OK);
  EXPECT_FALSE(done);
  ASSERT_EQ(registry->DeleteValue(kCurrentUser, B(Path(L"absent")).get(), B(L"v").get(), &done), S_OK);
  EXPECT_TRUE(done);
}

TEST_F(RegistryTest, DeleteKeyExDeletesADeepTreeNamedWithATrailingBackslash) {
  std::wstring deep = L"tree";
  for (int level = 1; level < 50; ++level) deep += L"\\\u00e9\u4e2d" + std::to_wstring(level);
  WriteText(deep, L"leaf", L"x");
  WriteText(L"tree\\\u00e9\u4e2d1\\side", L"", L"y");
  MakeKey(L"keep");
  Variant cause;
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(registry->DeleteKeyEx(kCurrentUser, B(Path(L"tree\\")).get(),
                                  Ref(cause), &done), S_OK);
  EXPECT_TRUE(done);
  EXPECT_EQ(TextOf(cause), L"");
  EXPECT_FALSE(hg::test::KeyExists(HKEY_CURRENT_USER, Path(L"tree")));
  EXPECT_TRUE(hg::test::KeyExists(HKEY_CURRENT_USER, Path(L"keep")));
}

// On a 64 KB stack, where a walk that took stack per level would overflow.
TEST_F(RegistryTest, ADeepTreeIsCopiedExportedAndDeletedOnASmallStack) {
  std::wstring deep = L"deep";
  for (int level = 0; level < 400; ++level) deep += L"\\k";
  WriteText(deep, L"v", L"x");
  const auto work = [&] {
    Variant cause;
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_EQ(registry->CopySubKey(kCurrentUser, B(Path(L"deep")).get(), kCurrentUser,
                                   B(Path(L"copy")).get(), Ref(cause), &done),
              S_OK);
    EXPECT_TRUE(done) << TextOf(cause);
    EXPECT_EQ(Read(L"copy\\" + deep, L"v").first, static_cast<DWORD>(REG_SZ));
    EXPECT_NE(Export(kCurrentUser, Path(L"deep")).find(deep + L"]"), std::wstring::npos);
    for (const wchar_t* tree : {L"copy", L"deep"}) {
      ASSERT_EQ(registry->DeleteKeyEx(kCurrentUser, B(Path(tree)).get(), Ref(cause), &done), S_OK);
      EXPECT_TRUE(done) << TextOf(cause);
      EXPECT_FALSE(hg::test::KeyExists(HKEY_CURRENT_USER, Path(tree)));
    }
  };
  EXPECT_TRUE(hg::test::RunOnSmallStack(work)) << "the walk overflowed its stack";
}

TEST_F(RegistryTest, DeleteKeyExOfAMissingKeyIsTrue) {
  Variant cause;
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(registry->DeleteKeyEx(kCurrentUser, B(Path(L"absent")).get(),
                                  Ref(cause), &done), S_OK);
  EXPECT_TRUE(done);
}

TEST_F(RegistryTest, DeleteKeyExRefusesSubKeysThatNameTheRoot) {
  MakeKey(L"");
  for (const wchar_t* subKey : {L"", L"\\", L"\\\\"}) {
    Variant cause;
    VARIANT_BOOL done = VARIANT_TRUE;
    EXPECT_EQ(registry->DeleteKeyEx(kCurrentUser, B(subKey).get(), Ref(cause), &done),
              E_INVALIDARG) << "subkey '" << hg::win::Narrow(subKey) << "'";
    EXPECT_EQ(registry->DeleteKey(kCurrentUser, B(subKey).get(), &done), E_INVALIDARG);
  }
  EXPECT_TRUE(hg::test::KeyExists(HKEY_CURRENT_USER, base));
}

TEST_F(RegistryTest, DeleteKeyExGivesTheTextOfTheStatusTheDeleteReturned) {
  Variant cause;
  VARIANT_BOOL done = VARIANT_TRUE;
  ASSERT_EQ(registry->DeleteKeyEx(kUnknownRoot, B(L"Software\\X").get(), Ref(cause),
                                  &done), S_OK);
  EXPECT_FALSE(done);
  EXPECT_EQ(TextOf(cause), SystemText(ERROR_INVALID_HANDLE));
  EXPECT_NE(TextOf(cause), L"");
}

// The system reads a name up to its first NUL: cut there, each of these names
// would name the key "keep" or its value "v".
TEST_F(RegistryTest, NamesHoldingANulAreRefusedAndTouchNothing) {
  MakeKey(L"keep\\child");
  WriteText(L"keep", L"v", L"x");
  const unique_bstr keep = B(Path(L"keep"));
  const unique_bstr cutKey = B(Path(L"keep") + L'\0' + L"\\junk");
  const unique_bstr cutValue = B(std::wstring(L"v") + L'\0' + L"junk");
  Variant cause;
  const auto refused = [](const std::function<HRESULT(VARIANT_BOOL*)>& call) {
    VARIANT_BOOL done = VARIANT_TRUE;
    return call(&done) == S_OK && done == VARIANT_FALSE;
  };
  EXPECT_TRUE(refused([&](VARIANT_BOOL* done) {
    return registry->DeleteKeyEx(kCurrentUser, cutKey.get(), Ref(cause), done);
  }));
  EXPECT_NE(TextOf(cause).find(L"NUL"), std::wstring::npos) << TextOf(cause);
  EXPECT_TRUE(refused(
      [&](VARIANT_BOOL* done) { return registry->DeleteKey(kCurrentUser, cutKey.get(), done); }));
  EXPECT_TRUE(refused([&](VARIANT_BOOL* done) {
    return registry->DeleteValue(kCurrentUser, keep.get(), cutValue.get(), done);
  }));
  EXPECT_TRUE(refused(
      [&](VARIANT_BOOL* done) { return registry->IsKeyExist(kCurrentUser, cutKey.get(), done); }));
  EXPECT_TRUE(refused([&](VARIANT_BOOL* done) {
    return registry->SetSTRING(kCurrentUser, keep.get(), cutValue.get(), B(L"lost").get(), done);
  }));
  Variant path = TextVariant(Path(L"keep") + L'\0' + L"\\junk");
  unique_bstr text;
  EXPECT_EQ(registry->SaveAsReg50(kCurrentUser, Ref(path), text.put()), E_INVALIDARG);
  EXPECT_TRUE(hg::test::KeyExists(HKEY_CURRENT_USER, Path(L"keep\\child")));
  Variant value;
  EXPECT_TRUE(QueryString(L"keep", L"v", value));
  EXPECT_EQ(TextOf(value), L"x");
}

TEST_F(RegistryTest, EnumKeyListsSubKeysReachableByName) {
  MakeKey(L"Alpha");
  MakeKey(L"\u0411eta");
  com_ptr<_CCollection> keys;
  ASSERT_EQ(registry->EnumKey(kCurrentUser, B(base).get(), keys.put()), S_OK);
  EXPECT_EQ(Items(keys.get()), (std::vector<std::wstring>{L"Alpha", L"\u0411eta"}));
  VARIANT key;
  key.vt = VT_BSTR;
  unique_bstr name = B(L"alpha");
  key.bstrVal = name.get();
  Variant item;
  ASSERT_EQ(keys->get_Item(key, item.put()), S_OK);
  EXPECT_EQ(TextOf(item), L"Alpha");

  ASSERT_EQ(registry->EnumKey(kCurrentUser, B(Path(L"absent")).get(), keys.put()), S_OK);
  EXPECT_TRUE(Items(keys.get()).empty());
}

TEST_F(RegistryTest, IsKeyExistTellsWhetherTheKeyOpens) {
  MakeKey(L"here");
  VARIANT_BOOL exists = VARIANT_FALSE;
  ASSERT_EQ(registry->IsKeyExist(kCurrentUser, B(Path(L"here")).get(), &exists), S_OK);
  EXPECT_TRUE(exists);
  ASSERT_EQ(registry->IsKeyExist(kCurrentUser, B(Path(L"absent")).get(), &exists), S_OK);
  EXPECT_FALSE(exists);
}

TEST_F(RegistryTest, EnumValuesExListsValuesAfterOneWithLargeData) {
  WriteText(L"", L"first", L"1");
  const std::vector<BYTE> big(10000, 0xAB);
  Write(L"", L"big", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
  WriteText(L"", L"\u00fcber", L"3");
  Variant result, cause;
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(registry->EnumValuesEx(kCurrentUser, B(base).get(), Ref(result),
                                   Ref(cause), &done), S_OK);
  EXPECT_TRUE(done);
  ASSERT_EQ(result.type(), VT_DISPATCH);
  auto names = com_ptr<IDispatch>(result.get().pdispVal).query<_CCollection>(IID__CCollection);
  auto listed = Items(names.get());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::wstring>{L"big", L"first", L"\u00fcber"}));

  com_ptr<_CCollection> plain;
  ASSERT_EQ(registry->EnumValues(kCurrentUser, B(base).get(), plain.put()), S_OK);
  EXPECT_EQ(Items(plain.get()).size(), 3u);
}

TEST_F(RegistryTest, EnumValuesExOfAMissingKeyGivesAnEmptyCollectionAndTheReason) {
  Variant result, cause;
  VARIANT_BOOL done = VARIANT_TRUE;
  ASSERT_EQ(registry->EnumValuesEx(kCurrentUser, B(Path(L"absent")).get(),
                                   Ref(result),
                                   Ref(cause), &done), S_OK);
  EXPECT_FALSE(done);
  EXPECT_EQ(TextOf(cause), L"OpenKey failed('HKEY_CURRENT_USER\\" + Path(L"absent") + L"', ReadOnly=True)");
  ASSERT_EQ(result.type(), VT_DISPATCH);
  auto names = com_ptr<IDispatch>(result.get().pdispVal).query<_CCollection>(IID__CCollection);
  EXPECT_TRUE(Items(names.get()).empty());
  com_ptr<_CCollection> plain;
  ASSERT_EQ(registry->EnumValues(kCurrentUser, B(Path(L"absent")).get(), plain.put()), S_OK);
  EXPECT_TRUE(Items(plain.get()).empty());
}

TEST_F(RegistryTest, SaveAsReg50WritesTheTreeDepthFirst) {
  const DWORD one = 1;
  Write(L"A", L"Enabled", REG_DWORD, &one, sizeof(one));
  WriteText(L"A\\B", L"", L"C:\\a \"b\"");
  MakeKey(L"A\\B\\C");
  MakeKey(L"A\\D");
  const std::wstring key = L"[HKEY_CURRENT_USER\\" + Path(L"A");
  EXPECT_EQ(Export(kCurrentUser, Path(L"A")),
            L"\r\n" + key + L"]\r\n\"Enabled\"=dword:00000001\r\n"
            L"\r\n" + key + L"\\B]\r\n@=\"C:\\\\a \\\"b\\\"\"\r\n"
            L"\r\n" + key + L"\\B\\C]\r\n"
            L"\r\n" + key + L"\\D]\r\n");
}

TEST_F(RegistryTest, SaveAsReg50DropsOneTrailingBackslashFromTheCallersSubKey) {
  MakeKey(L"A");
  Variant path = TextVariant(Path(L"A\\"));
  VARIANT byReference;
  byReference.vt = VT_BYREF | VT_VARIANT;
  byReference.pvarVal = Ref(path);
  unique_bstr text;
  ASSERT_EQ(registry->SaveAsReg50(kCurrentUser, &byReference, text.put()), S_OK);
  EXPECT_EQ(TextOf(path), Path(L"A"));
  EXPECT_EQ(std::wstring(text.get()), Export(kCurrentUser, Path(L"A")));
}

TEST_F(RegistryTest, SaveAsReg50ExportsLargeValuesWhole) {
  const std::vector<BYTE> big(5000, 0x5A);
  Write(L"", L"big", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
  WriteText(L"", L"after", L"z");
  const std::wstring text = Export(kCurrentUser, base);
  const auto start = text.find(L"\"big\"=hex:");
  ASSERT_NE(start, std::wstring::npos) << hg::win::Narrow(text);
  EXPECT_NE(text.find(L"\"after\"=\"z\"\r\n"), std::wstring::npos);
  const auto end = std::min(text.find(L"\r\n\"", start), text.size());
  std::size_t bytes = 0;
  for (auto at = text.find(L"5a", start); at < end; at = text.find(L"5a", at + 2)) ++bytes;
  EXPECT_EQ(bytes, big.size());
}

TEST_F(RegistryTest, SaveAsReg50GivesNothingForAMissingKeyAndRefusesUnknownRoots) {
  EXPECT_EQ(Export(kCurrentUser, Path(L"absent")), L"");
  Variant path = TextVariant(base);
  unique_bstr text;
  EXPECT_EQ(registry->SaveAsReg50(kUnknownRoot, Ref(path), text.put()), E_NOTIMPL);
  EXPECT_EQ(registry->SaveSingleValueAsReg50(kUnknownRoot, B(base).get(), B(L"v").get(), text.put()),
            E_NOTIMPL);
}

TEST_F(RegistryTest, SaveAsReg50OfTheNativeViewNamesThePlainRoot) {
  const std::wstring text = Export(kLocalMachine64, L"Software\\Classes\\CLSID\\");
  EXPECT_EQ(text.rfind(L"\r\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID]\r\n", 0), 0u)
      << hg::win::Narrow(text.substr(0, 200));
}

TEST_F(RegistryTest, SaveSingleValueAsReg50FindsTheValueIgnoringCase) {
  const DWORD one = 1;
  Write(L"", L"Enabled", REG_DWORD, &one, sizeof(one));
  MakeKey(L"child");
  unique_bstr text;
  ASSERT_EQ(registry->SaveSingleValueAsReg50(kCurrentUser, B(base + L"\\").get(), B(L"ENABLED").get(),
                                             text.put()), S_OK);
  EXPECT_EQ(std::wstring(text.get()), L"\r\n[HKEY_CURRENT_USER\\" + base + L"]\r\n\"Enabled\"=dword:00000001\r\n");
  ASSERT_EQ(registry->SaveSingleValueAsReg50(kCurrentUser, B(base).get(), B(L"absent").get(), text.put()), S_OK);
  EXPECT_EQ(::SysStringLen(text.get()), 0u);
}

TEST_F(RegistryTest, CopySubKeyCopiesATreeThatExportsTheSameFromItsNewPlace) {
  const DWORD number = 0x12345678;
  const std::vector<BYTE> binary(30, 0x7F);
  const std::vector<BYTE> large(70000, 0x11);
  const std::wstring expand = L"%SystemRoot%\\x";
  const wchar_t multi[] = L"one\0two\0";
  WriteText(L"src\\B", L"text", L"C:\\a \"b\"");
  WriteText(L"src\\B", L"", L"default");
  Write(L"src\\B", L"number", REG_DWORD, &number, sizeof(number));
  Write(L"src\\B", L"binary", REG_BINARY, binary.data(), static_cast<DWORD>(binary.size()));
  Write(L"src\\B", L"large", REG_BINARY, large.data(), static_cast<DWORD>(large.size()));
  Write(L"src\\B", L"expand", REG_EXPAND_SZ, expand.c_str(),
        static_cast<DWORD>((expand.size() + 1) * sizeof(wchar_t)));
  Write(L"src\\B", L"multi", REG_MULTI_SZ, multi, sizeof(multi));
  Write(L"src\\B", L"none", REG_NONE, nullptr, 0);
  WriteText(L"src\\B\\child\\\u4e2d", L"deep", L"x");

  Variant cause;
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(registry->CopySubKey(kCurrentUser, B(Path(L"src\\B")).get(), kCurrentUser,
                                 B(Path(L"dst")).get(), Ref(cause), &done), S_OK);
  EXPECT_TRUE(done) << hg::win::Narrow(TextOf(cause));
  EXPECT_EQ(TextOf(cause), L"");

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

TEST_F(RegistryTest, CopySubKeyRefusesADestinationInsideTheSource) {
  WriteText(L"src", L"v", L"x");
  Variant cause;
  VARIANT_BOOL done = VARIANT_TRUE;
  ASSERT_EQ(registry->CopySubKey(kCurrentUser, B(Path(L"src")).get(), kCurrentUser,
                                 B(Path(L"SRC\\inner")).get(), Ref(cause), &done),
            S_OK);
  EXPECT_FALSE(done);
  EXPECT_NE(TextOf(cause), L"");
  EXPECT_FALSE(hg::test::KeyExists(HKEY_CURRENT_USER, Path(L"src\\inner")));
}

TEST_F(RegistryTest, CopySubKeyOfAMissingKeyGivesTheOpenKeyText) {
  Variant cause;
  VARIANT_BOOL done = VARIANT_TRUE;
  ASSERT_EQ(registry->CopySubKey(kCurrentUser, B(Path(L"absent")).get(), kCurrentUser,
                                 B(Path(L"dst")).get(), Ref(cause), &done), S_OK);
  EXPECT_FALSE(done);
  EXPECT_EQ(TextOf(cause), L"OpenKey failed('HKEY_CURRENT_USER\\" + Path(L"absent") + L"', ReadOnly=True)");
  EXPECT_FALSE(hg::test::KeyExists(HKEY_CURRENT_USER, Path(L"dst")));
}

TEST_F(RegistryTest, CopySingleValueCopiesLargeDataWhole) {
  const std::vector<BYTE> large(100000, 0x22);
  Write(L"src", L"large", REG_BINARY, large.data(), static_cast<DWORD>(large.size()));
  Variant cause;
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(registry->CopySingleValue(kCurrentUser, B(Path(L"src")).get(), B(L"large").get(), kCurrentUser,
                                      B(Path(L"to\\here")).get(), Ref(cause), &done),
            S_OK);
  EXPECT_TRUE(done) << hg::win::Narrow(TextOf(cause));
  const auto stored = Read(L"to\\here", L"large");
  EXPECT_EQ(stored.first, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(stored.second, large);
}

TEST_F(RegistryTest, CopySingleValueOfAMissingValueGivesTheSystemMessage) {
  MakeKey(L"src");
  Variant cause;
  VARIANT_BOOL done = VARIANT_TRUE;
  ASSERT_EQ(registry->CopySingleValue(kCurrentUser, B(Path(L"src")).get(), B(L"absent").get(), kCurrentUser,
                                      B(Path(L"to")).get(), Ref(cause), &done),
            S_OK);
  EXPECT_FALSE(done);
  EXPECT_EQ(TextOf(cause), SystemText(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(hg::test::KeyExists(HKEY_CURRENT_USER, Path(L"to")));
}

// Registers a class of its own with a category of its own in both views of
// HKEY_CLASSES_ROOT; a test may add a second class in the 32-bit view only.
class CategoryTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    GUID guid;
    ASSERT_EQ(::CoCreateGuid(&guid), S_OK);
    clsid = hg::test::GuidText(guid);
    ASSERT_EQ(::CoCreateGuid(&guid), S_OK);
    category = hg::test::GuidText(guid);
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
      ::RegDeleteTreeW(classes.get(), clsid.c_str());
      if (!clsid32.empty()) ::RegDeleteTreeW(classes.get(), clsid32.c_str());
    }
    RegistryTest::TearDown();
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
  void Register32bitClass() {
    GUID guid;
    ASSERT_EQ(::CoCreateGuid(&guid), S_OK);
    clsid32 = hg::test::GuidText(guid);
    Register(clsid32, KEY_WOW64_32KEY);
    // Without the views kept apart the test below would prove nothing.
    unique_hkey native;
    ASSERT_NE(::RegOpenKeyExW(HKEY_CLASSES_ROOT, CategoryKey(clsid32).c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                              native.put()),
              ERROR_SUCCESS);
    native.release();
  }
  std::vector<std::wstring> Classes(bool include32, bool include64) {
    com_ptr<_CCollection> found;
    EXPECT_EQ(registry->EnumClassesOfCategory(B(category).get(), include32 ? VARIANT_TRUE : VARIANT_FALSE,
                                              include64 ? VARIANT_TRUE : VARIANT_FALSE, found.put()),
              S_OK);
    return Items(found.get());
  }

  std::wstring clsid;
  std::wstring clsid32;
  std::wstring category;
};

TEST_F(CategoryTest, EnumClassesOfCategoryListsAClassOfBothViewsOnce) {
  EXPECT_EQ(Classes(true, true), std::vector<std::wstring>{clsid});
  EXPECT_EQ(Classes(true, false), std::vector<std::wstring>{clsid});
  EXPECT_EQ(Classes(false, true), std::vector<std::wstring>{clsid});
  EXPECT_TRUE(Classes(false, false).empty());
}

TEST_F(CategoryTest, EnumClassesOfCategoryListsAClassOfThe32bitViewOnlyWithThe32bitFlag) {
  Register32bitClass();
  const auto sorted = [](std::vector<std::wstring> items) {
    std::sort(items.begin(), items.end());
    return items;
  };
  const auto both = sorted({clsid, clsid32});
  EXPECT_EQ(sorted(Classes(true, false)), both);
  EXPECT_EQ(Classes(false, true), std::vector<std::wstring>{clsid});
  EXPECT_EQ(sorted(Classes(true, true)), both);
}

TEST(RegistryScripts, VBScriptClientUsesTheRegistryLateBound) {
  const auto run = hg::test::RunScript(L"registry_test.vbs");
  EXPECT_EQ(hg::test::LastLine(run.output), "PASS") << run.output;
}

}  // namespace
