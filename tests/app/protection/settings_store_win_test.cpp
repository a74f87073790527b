#include "app/protection/settings_store_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "app/protection/protection.h"
#include "common/win/com_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace app::protection {
namespace {

using hg::test::Bstr;
using hg::test::Create;
using hg::win::com_ptr;
using hg::win::Variant;

constexpr char kTestKey[] = "Software\\Tarnwick Software\\Hedgerow Tests\\Protection";
constexpr wchar_t kTestKeyW[] = L"Software\\Tarnwick Software\\Hedgerow Tests\\Protection";
constexpr wchar_t kTestRoot[] = L"Software\\Tarnwick Software\\Hedgerow Tests";

VARIANT NoDefault() { return hg::win::MissingArgument(); }

// The library's own classes on one side, the program's store on the other,
// meeting in the real registry.
class StoreInRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(apartment_.result(), S_OK);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
    registry = Create<_CRegistry>(CLSID_CRegistry, IID__CRegistry);
    global = Create<_CGlobal>(CLSID_CGlobal, IID__CGlobal);
    bag = Create<_PropertyBag>(CLSID_PropertyBag, IID__PropertyBag);
    ASSERT_TRUE(registry && global && bag);
  }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }

  hg::test::ComApartment apartment_;
  com_ptr<_CRegistry> registry;
  com_ptr<_CGlobal> global;
  com_ptr<_PropertyBag> bag;
};

TEST_F(StoreInRegistry, EachReadsWhatTheOtherWrote) {
  RegistrySettingsText place(kCurrentUser, kTestKey, kStoreValueName);
  CRData store(place);
  EXPECT_EQ(store.ReadProperty("PPEnabled", Setting::Boolean(true)), Setting::Empty());
  ASSERT_TRUE(store.WriteProperties(
      {{"PPEnabled", Setting::Boolean(true)}, {"PP", Setting::Text("b3a7")}}));

  // The library reads the program's first write, value by value.
  Variant text;
  ASSERT_TRUE(hg::test::Flag([&](VARIANT_BOOL* found) {
    return registry->QuerySTRING(kCurrentUser, Bstr(kTestKeyW), Bstr(L"Registration"), text.put(), found);
  }));
  hg::win::unique_safearray bytes;
  ASSERT_EQ(global->Base64DecodeB(text.get().bstrVal, bytes.put()), S_OK);
  ASSERT_EQ(bag->put_Contents(hg::win::BorrowedArray(bytes.get())), S_OK);
  const struct {
    const wchar_t* name;
    VARTYPE type;
  } expected[] = {
      {L"n1", VT_BSTR}, {L"v1", VT_BOOL}, {L"n2", VT_BSTR}, {L"v2", VT_BSTR}, {L"c", VT_I4}};
  std::wstring values;
  for (const auto& e : expected) {
    Variant value;
    ASSERT_EQ(bag->ReadProperty(Bstr(e.name), NoDefault(), value.put()), S_OK);
    EXPECT_EQ(value.type(), e.type) << e.name;
    values += hg::test::TextOf(value.get()) + L";";
  }
  EXPECT_EQ(values, L"PPEnabled;<not text>;PP;b3a7;<not text>;");
  Variant count;
  ASSERT_EQ(bag->ReadProperty(Bstr(L"c"), NoDefault(), count.put()), S_OK);
  EXPECT_EQ(count.get().lVal, 2);

  // The program reads what the library writes back.
  ASSERT_EQ(bag->WriteProperty(Bstr(L"v2"), hg::test::Text(L"c4d9").get(), NoDefault()), S_OK);
  Variant contents;
  ASSERT_EQ(bag->get_Contents(contents.put()), S_OK);
  const std::wstring encoded =
      hg::test::Str([&](BSTR* out) { return global->Base64EncodeB(contents.get(), out); });
  ASSERT_TRUE(hg::test::Flag([&](VARIANT_BOOL* written) {
    return registry->SetSTRING(kCurrentUser, Bstr(kTestKeyW), Bstr(L"Registration"), Bstr(encoded),
                               written);
  }));
  CRData again(place);
  EXPECT_TRUE(ProtectionEnabled(again));
  EXPECT_EQ(again.ReadProperty("pp"), Setting::Text("c4d9"));
}

}  // namespace
}  // namespace app::protection
