#include <windows.h>
#include <objbase.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "common/win/variant_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Create;
using hg::test::Long;
using hg::test::Object;
using hg::test::Text;
using hg::win::com_ptr;
using hg::win::Variant;

const VARIANT kMissing = hg::win::MissingArgument();

VARIANT Number(VARTYPE type, LONGLONG n) {
  VARIANT v;
  v.vt = type;
  v.llVal = 0;
  switch (type) {
    case VT_I2: v.iVal = static_cast<SHORT>(n); break;
    case VT_I4: v.lVal = static_cast<LONG>(n); break;
    case VT_BOOL: v.boolVal = n ? VARIANT_TRUE : VARIANT_FALSE; break;
    default: v.llVal = n;
  }
  return v;
}

std::wstring Description() { return hg::test::LastFailure(E_FAIL).description; }

class PropertyBagTest : public ::testing::Test {
 protected:
  void SetUp() override { bag = Create<_PropertyBag>(CLSID_PropertyBag, IID__PropertyBag); }

  void Write(const wchar_t* name, const VARIANT& value, const VARIANT& byDefault = kMissing) {
    EXPECT_EQ(bag->WriteProperty(Bstr(name), value, byDefault), S_OK) << name;
  }
  static BSTR Bstr(const wchar_t* name) {
    names.push_back(hg::win::MakeBstr(std::wstring_view(name)));
    return names.back().get();
  }
  // A new bag holding this bag's Contents.
  static com_ptr<_PropertyBag> CopyThrough(_PropertyBag* from) {
    Variant contents;
    EXPECT_EQ(from->get_Contents(contents.put()), S_OK);
    EXPECT_EQ(contents.type(), VT_ARRAY | VT_UI1);
    auto to = Create<_PropertyBag>(CLSID_PropertyBag, IID__PropertyBag);
    EXPECT_EQ(to->put_Contents(contents.get()), S_OK);
    return to;
  }
  static Variant Read(_PropertyBag* from, const wchar_t* name,
                      const VARIANT& byDefault = kMissing) {
    Variant value;
    EXPECT_EQ(from->ReadProperty(Bstr(name), byDefault, value.put()), S_OK) << name;
    return value;
  }

  hg::test::ComApartment com;
  com_ptr<_PropertyBag> bag;
  static inline std::vector<hg::win::unique_bstr> names;
};

TEST_F(PropertyBagTest, IPropertyBagStandsBehindIt) {
  com_ptr<IPropertyBag> standard = bag.query<IPropertyBag>(IID_IPropertyBag);
  ASSERT_TRUE(standard);
  VARIANT seven = Number(VT_I4, 7);
  ASSERT_EQ(standard->Write(L"Seven", &seven), S_OK);
  EXPECT_EQ(Read(bag.get(), L"seven").get().lVal, 7);
  Variant absent;
  EXPECT_EQ(standard->Read(L"absent", absent.put(), nullptr), E_INVALIDARG);
}

TEST_F(PropertyBagTest, ValuesKeepTypeAndValueThroughContents) {
  VARIANT date = Number(VT_DATE, 0), null = Number(VT_NULL, 0);
  date.date = 45000.5;
  std::vector<Variant> items;
  items.push_back(Text(L"x"));
  items.push_back(Variant::CopyOf(Number(VT_I2, 5)));
  const auto bytes = hg::win::ByteArray(std::string_view("\x0A\x14\x1E"), 1);
  const auto array = hg::win::VariantArray(items, 0);
  const struct {
    const wchar_t* name;
    VARIANT value;
  } values[] = {
      {L"i2", Number(VT_I2, -2)},     {L"i4", Number(VT_I4, 100000)},
      {L"cy", Number(VT_CY, 123456)}, {L"bool", Number(VT_BOOL, 1)},
      {L"date", date},                {L"null", null},
      {L"bytes", hg::win::BorrowedArray(bytes.get())},
      {L"array", hg::win::BorrowedArray(array.get())},
  };
  for (const auto& [name, value] : values) Write(name, value);
  Write(L"text", Text(L"Gr\u00FC\u00DFe").get());

  const auto copy = CopyThrough(bag.get());
  for (const auto& [name, value] : values) {
    const Variant restored = Read(copy.get(), name);
    EXPECT_EQ(restored.type(), value.vt) << name;
    if (value.vt != VT_NULL && !(value.vt & VT_ARRAY)) {
      EXPECT_EQ(hg::win::TextOf(restored.get()), hg::win::TextOf(value)) << name;
    }
  }
  EXPECT_EQ(hg::test::TextOf(Read(copy.get(), L"text").get()), L"Gr\u00FC\u00DFe");
  const Variant restoredBytes = Read(copy.get(), L"bytes");
  EXPECT_EQ(hg::win::BoundsOf(restoredBytes.get().parray).lower, 1);
  EXPECT_EQ(hg::win::BytesOf(restoredBytes.get().parray), "\x0A\x14\x1E");
  const std::vector<Variant> restoredItems = hg::test::ElementsOf(Read(copy.get(), L"array").get());
  ASSERT_EQ(restoredItems.size(), 2u);
  EXPECT_EQ(hg::test::TextOf(restoredItems[0].get()), L"x");
  EXPECT_EQ(restoredItems[1].type(), VT_I2);
  EXPECT_EQ(restoredItems[1].get().iVal, 5);
}

TEST_F(PropertyBagTest, ValueEqualToItsDefaultIsNotStored) {
  Write(L"n", Number(VT_I4, 0), Number(VT_I4, 0));
  Write(L"Id", Text(L"").get(), Text(L"").get());
  Variant contents, empty;
  ASSERT_EQ(bag->get_Contents(contents.put()), S_OK);
  ASSERT_EQ(Create<_PropertyBag>(CLSID_PropertyBag, IID__PropertyBag)->get_Contents(empty.put()),
            S_OK);
  EXPECT_EQ(::SafeArrayGetElemsize(contents.get().parray), 1u);
  LONG contentsUpper = 0, emptyUpper = 0;
  ::SafeArrayGetUBound(contents.get().parray, 1, &contentsUpper);
  ::SafeArrayGetUBound(empty.get().parray, 1, &emptyUpper);
  EXPECT_EQ(contentsUpper, emptyUpper);
  EXPECT_EQ(Read(bag.get(), L"n", Number(VT_I4, 9)).get().lVal, 9);
  EXPECT_EQ(Read(bag.get(), L"missing").type(), VT_EMPTY);
}

TEST_F(PropertyBagTest, CorruptContentsFailWithADescriptionAndChangeNothing) {
  Write(L"kept", Number(VT_I4, 1));
  const auto garbage = hg::win::ByteArray(std::string_view("\0\0\0\0\0", 5), 0);
  EXPECT_EQ(bag->put_Contents(hg::win::BorrowedArray(garbage.get())),
            HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
  EXPECT_NE(Description().find(L"not a property bag"), std::wstring::npos);
  EXPECT_EQ(bag->put_Contents(Text(L"text").get()), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Read(bag.get(), L"kept").get().lVal, 1);
}

TEST_F(PropertyBagTest, ObjectWithoutPersistenceIsRefused) {
  auto collection = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
  com_ptr<IUnknown> enumerator;
  ASSERT_EQ(collection->NewEnum(enumerator.put()), S_OK);
  EXPECT_EQ(bag->WriteProperty(Bstr(L"e"), Object(enumerator.get()).get(), kMissing),
            E_NOINTERFACE);
  EXPECT_NE(Description().find(L"IPersistPropertyBag"), std::wstring::npos);
}

// A persistable object whose Save fails without recording error information.
class SilentlyFailingObject final : public IPersistPropertyBag {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IPersistPropertyBag) {
      *object = static_cast<IPersistPropertyBag*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetClassID(CLSID* clsid) override {
    *clsid = CLSID_CCollection;
    return S_OK;
  }
  STDMETHODIMP InitNew() override { return S_OK; }
  STDMETHODIMP Load(IPropertyBag*, IErrorLog*) override { return E_FAIL; }
  STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override { return E_FAIL; }
};

TEST_F(PropertyBagTest, ANestedFailureNeverBorrowsAnOlderDescription) {
  com_ptr<ICreateErrorInfo> create;
  ASSERT_EQ(::CreateErrorInfo(create.put()), S_OK);
  create->SetDescription(const_cast<LPOLESTR>(L"stale"));
  ::SetErrorInfo(0, create.query<IErrorInfo>(IID_IErrorInfo).get());

  SilentlyFailingObject object;
  EXPECT_EQ(bag->WriteProperty(Bstr(L"o"), Object(&object).get(), kMissing), E_FAIL);
  EXPECT_EQ(Description().find(L"stale"), std::wstring::npos);
}

class CollectionPersistence : public PropertyBagTest {};

TEST_F(CollectionPersistence, RestoredCollectionKeepsOrderAndNestingButNoKeys) {
  auto collection = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
  auto inner = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
  ASSERT_EQ(inner->Add(Text(L"deep").get(), kMissing, kMissing, kMissing), S_OK);
  ASSERT_EQ(collection->Add(Text(L"one").get(), Text(L"K1").get(), kMissing, kMissing), S_OK);
  ASSERT_EQ(collection->Add(Object(inner.get()).get(), Text(L"K2").get(), kMissing, kMissing),
            S_OK);
  ASSERT_EQ(collection->Add(Number(VT_I2, 3), Text(L"K3").get(), kMissing, kMissing), S_OK);
  Write(L"c", Object(collection.get()).get());

  const Variant value = Read(CopyThrough(bag.get()).get(), L"c");
  ASSERT_EQ(value.type(), VT_DISPATCH);
  com_ptr<_CCollection> restored;
  ASSERT_EQ(value.get().pdispVal->QueryInterface(IID__CCollection, restored.put_void()), S_OK);
  EXPECT_EQ(hg::test::Items(restored.get()), (std::vector<std::wstring>{L"one", L"<not text>", L"<not text>"}));
  for (const wchar_t* key : {L"K1", L"K2", L"K3"}) {
    EXPECT_FALSE(hg::test::Flag([&](VARIANT_BOOL* r) { return restored->IsInCollection(Bstr(key), r); })) << key;
  }
  Variant second, third;
  ASSERT_EQ(restored->get_Item(Long(2).get(), second.put()), S_OK);
  ASSERT_EQ(restored->get_Item(Long(3).get(), third.put()), S_OK);
  EXPECT_EQ(third.type(), VT_I2);
  com_ptr<_CCollection> restoredInner;
  ASSERT_EQ(second.get().pdispVal->QueryInterface(IID__CCollection, restoredInner.put_void()), S_OK);
  EXPECT_NE(restoredInner.get(), inner.get());
  EXPECT_EQ(hg::test::Items(restoredInner.get()), std::vector<std::wstring>{L"deep"});
}

TEST_F(CollectionPersistence, EmptyCollectionWritesNoCount) {
  auto collection = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
  com_ptr<IPersistPropertyBag> persist =
      collection.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
  ASSERT_TRUE(persist);
  com_ptr<IPropertyBag> target = bag.query<IPropertyBag>(IID_IPropertyBag);
  ASSERT_EQ(persist->Save(target.get(), TRUE, TRUE), S_OK);
  EXPECT_EQ(Read(bag.get(), L"n", Number(VT_I4, -1)).get().lVal, -1);
}

TEST_F(CollectionPersistence, CollectionHoldingItselfFailsInsteadOfRecursingForever) {
  auto collection = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
  ASSERT_EQ(collection->Add(Object(collection.get()).get(), kMissing, kMissing, kMissing), S_OK);
  EXPECT_EQ(bag->WriteProperty(Bstr(L"c"), Object(collection.get()).get(), kMissing),
            E_INVALIDARG);
  EXPECT_NE(Description().find(L"holds itself"), std::wstring::npos);
  collection->Clear();  // breaks the cycle of references
}

TEST_F(CollectionPersistence, ForgedCountFailsAtTheFirstMissingEntry) {
  com_ptr<IPropertyBag> forged = bag.query<IPropertyBag>(IID_IPropertyBag);
  VARIANT huge = Number(VT_I4, 0x7FFFFFFF);
  ASSERT_EQ(forged->Write(L"n", &huge), S_OK);
  auto collection = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
  com_ptr<IPersistPropertyBag> persist =
      collection.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
  EXPECT_EQ(persist->Load(forged.get(), nullptr), HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
  EXPECT_NE(Description().find(L"entry 1"), std::wstring::npos);
}

}  // namespace
