#include <windows.h>
#include <objbase.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Create;
using hg::win::com_ptr;
using hg::win::Variant;

VARIANT Number(VARTYPE type, LONGLONG n) {
  VARIANT v;
  v.vt = type;
  v.llVal = 0;
  switch (type) {
    case VT_I2: v.iVal = static_cast<SHORT>(n); break;
    case VT_I4: v.lVal = static_cast<LONG>(n); break;
    case VT_CY: v.cyVal.int64 = n; break;
    case VT_BOOL: v.boolVal = n ? VARIANT_TRUE : VARIANT_FALSE; break;
    default: v.llVal = n;
  }
  return v;
}

VARIANT Object(IUnknown* object) {
  VARIANT v;
  v.vt = VT_UNKNOWN;
  v.punkVal = object;
  return v;
}

Variant Text(const wchar_t* text) {
  Variant v;
  v.put()->vt = VT_BSTR;
  const_cast<VARIANT&>(v.get()).bstrVal = hg::win::MakeBstr(std::wstring_view(text)).release();
  return v;
}

std::wstring Description() {
  com_ptr<IErrorInfo> info;
  hg::win::unique_bstr text;
  if (::GetErrorInfo(0, info.put()) == S_OK) info->GetDescription(text.put());
  return text ? std::wstring(text.get()) : std::wstring();
}

class PropertyBagTest : public ::testing::Test {
 protected:
  void SetUp() override { bag = Create<_PropertyBag>(CLSID_PropertyBag, IID__PropertyBag); }

  void Write(const wchar_t* name, const VARIANT& value, const VARIANT& byDefault = hg::win::MissingArgument()) {
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
                      const VARIANT& byDefault = hg::win::MissingArgument()) {
    Variant value;
    EXPECT_EQ(from->ReadProperty(Bstr(name), byDefault, value.put()), S_OK) << name;
    return value;
  }

  hg::test::ComApartment com;
  com_ptr<_PropertyBag> bag;
  static inline std::vector<hg::win::unique_bstr> names;
};

TEST_F(PropertyBagTest, CreatableByProgIdWithIPropertyBagBehindIt) {
  CLSID clsid;
  ASSERT_EQ(::CLSIDFromProgID(L"tkShared.PropertyBag", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_PropertyBag);
  com_ptr<IPropertyBag> standard = bag.query<IPropertyBag>(IID_IPropertyBag);
  ASSERT_TRUE(standard);
  VARIANT seven = Number(VT_I4, 7);
  ASSERT_EQ(standard->Write(L"Seven", &seven), S_OK);
  EXPECT_EQ(Read(bag.get(), L"seven").get().lVal, 7);
  Variant absent;
  EXPECT_EQ(standard->Read(L"absent", absent.put(), nullptr), E_INVALIDARG);
}

TEST_F(PropertyBagTest, ValuesKeepTypeAndValueThroughContents) {
  Write(L"i2", Number(VT_I2, -2));
  Write(L"i4", Number(VT_I4, 100000));
  Write(L"cy", Number(VT_CY, 123456));
  Write(L"bool", Number(VT_BOOL, 1));
  VARIANT date;
  date.vt = VT_DATE;
  date.date = 45000.5;
  Write(L"date", date);
  VARIANT null;
  null.vt = VT_NULL;
  Write(L"null", null);
  Write(L"text", Text(L"Gr\u00FC\u00DFe").get());

  SAFEARRAYBOUND bytesBound{3, 1};
  hg::win::unique_safearray bytes(::SafeArrayCreate(VT_UI1, 1, &bytesBound));
  for (LONG i = 1; i <= 3; ++i) {
    BYTE b = static_cast<BYTE>(i * 10);
    ::SafeArrayPutElement(bytes.get(), &i, &b);
  }
  VARIANT byteArray;
  byteArray.vt = VT_ARRAY | VT_UI1;
  byteArray.parray = bytes.get();
  Write(L"bytes", byteArray);

  SAFEARRAYBOUND itemsBound{2, 0};
  hg::win::unique_safearray items(::SafeArrayCreate(VT_VARIANT, 1, &itemsBound));
  LONG at = 0;
  ::SafeArrayPutElement(items.get(), &at, const_cast<VARIANT*>(&Text(L"x").get()));
  at = 1;
  VARIANT five = Number(VT_I2, 5);
  ::SafeArrayPutElement(items.get(), &at, &five);
  VARIANT variantArray;
  variantArray.vt = VT_ARRAY | VT_VARIANT;
  variantArray.parray = items.get();
  Write(L"array", variantArray);

  const auto copy = CopyThrough(bag.get());
  EXPECT_EQ(Read(copy.get(), L"i2").get().vt, VT_I2);
  EXPECT_EQ(Read(copy.get(), L"i2").get().iVal, -2);
  EXPECT_EQ(Read(copy.get(), L"i4").get().lVal, 100000);
  EXPECT_EQ(Read(copy.get(), L"cy").get().vt, VT_CY);
  EXPECT_EQ(Read(copy.get(), L"cy").get().cyVal.int64, 123456);
  EXPECT_EQ(Read(copy.get(), L"bool").get().boolVal, VARIANT_TRUE);
  EXPECT_EQ(Read(copy.get(), L"date").get().vt, VT_DATE);
  EXPECT_EQ(Read(copy.get(), L"null").get().vt, VT_NULL);
  EXPECT_EQ(std::wstring(Read(copy.get(), L"text").get().bstrVal), L"Gr\u00FC\u00DFe");

  const Variant restoredBytes = Read(copy.get(), L"bytes");
  ASSERT_EQ(restoredBytes.type(), VT_ARRAY | VT_UI1);
  LONG lower = 0, upper = 0;
  ::SafeArrayGetLBound(restoredBytes.get().parray, 1, &lower);
  ::SafeArrayGetUBound(restoredBytes.get().parray, 1, &upper);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 3);
  LONG third = 3;
  BYTE thirdByte = 0;
  ::SafeArrayGetElement(restoredBytes.get().parray, &third, &thirdByte);
  EXPECT_EQ(thirdByte, 30);

  const Variant restoredArray = Read(copy.get(), L"array");
  ASSERT_EQ(restoredArray.type(), VT_ARRAY | VT_VARIANT);
  Variant second;
  LONG one = 1;
  ::SafeArrayGetElement(restoredArray.get().parray, &one, second.put());
  EXPECT_EQ(second.type(), VT_I2);
  EXPECT_EQ(second.get().iVal, 5);
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
  SAFEARRAYBOUND bound{5, 0};
  hg::win::unique_safearray garbage(::SafeArrayCreate(VT_UI1, 1, &bound));
  VARIANT contents;
  contents.vt = VT_ARRAY | VT_UI1;
  contents.parray = garbage.get();
  EXPECT_EQ(bag->put_Contents(contents), HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
  EXPECT_NE(Description().find(L"not a property bag"), std::wstring::npos);
  EXPECT_EQ(bag->put_Contents(Text(L"text").get()), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Read(bag.get(), L"kept").get().lVal, 1);
}

TEST_F(PropertyBagTest, ObjectWithoutPersistenceIsRefused) {
  auto collection = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
  com_ptr<IUnknown> enumerator;
  ASSERT_EQ(collection->NewEnum(enumerator.put()), S_OK);
  EXPECT_EQ(bag->WriteProperty(Bstr(L"e"), Object(enumerator.get()), hg::win::MissingArgument()), E_NOINTERFACE);
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
  EXPECT_EQ(bag->WriteProperty(Bstr(L"o"), Object(&object), hg::win::MissingArgument()), E_FAIL);
  EXPECT_EQ(Description().find(L"stale"), std::wstring::npos);
}

class CollectionPersistence : public PropertyBagTest {};

TEST_F(CollectionPersistence, RestoredCollectionKeepsOrderAndNestingButNoKeys) {
  auto collection = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
  auto inner = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
  ASSERT_EQ(inner->Add(Text(L"deep").get(), hg::win::MissingArgument(), hg::win::MissingArgument(), hg::win::MissingArgument()), S_OK);
  ASSERT_EQ(collection->Add(Text(L"one").get(), Text(L"K1").get(), hg::win::MissingArgument(), hg::win::MissingArgument()), S_OK);
  ASSERT_EQ(collection->Add(Object(inner.get()), Text(L"K2").get(), hg::win::MissingArgument(), hg::win::MissingArgument()), S_OK);
  ASSERT_EQ(collection->Add(Number(VT_I2, 3), Text(L"K3").get(), hg::win::MissingArgument(), hg::win::MissingArgument()), S_OK);
  Write(L"c", Object(collection.get()));

  const Variant value = Read(CopyThrough(bag.get()).get(), L"c");
  ASSERT_EQ(value.type(), VT_DISPATCH);
  com_ptr<_CCollection> restored;
  ASSERT_EQ(value.get().pdispVal->QueryInterface(IID__CCollection, restored.put_void()), S_OK);
  LONG count = 0;
  ASSERT_EQ(restored->get_Count(&count), S_OK);
  EXPECT_EQ(count, 3);
  for (const wchar_t* key : {L"K1", L"K2", L"K3"}) {
    VARIANT_BOOL present = VARIANT_TRUE;
    ASSERT_EQ(restored->IsInCollection(Bstr(key), &present), S_OK);
    EXPECT_EQ(present, VARIANT_FALSE) << key;
  }
  Variant first, second, third;
  ASSERT_EQ(restored->get_Item(Number(VT_I4, 1), first.put()), S_OK);
  ASSERT_EQ(restored->get_Item(Number(VT_I4, 2), second.put()), S_OK);
  ASSERT_EQ(restored->get_Item(Number(VT_I4, 3), third.put()), S_OK);
  EXPECT_EQ(std::wstring(first.get().bstrVal), L"one");
  EXPECT_EQ(third.type(), VT_I2);
  com_ptr<_CCollection> restoredInner;
  ASSERT_EQ(second.get().pdispVal->QueryInterface(IID__CCollection, restoredInner.put_void()),
            S_OK);
  EXPECT_NE(restoredInner.get(), inner.get());
  Variant deep;
  ASSERT_EQ(restoredInner->get_Item(Number(VT_I4, 1), deep.put()), S_OK);
  EXPECT_EQ(std::wstring(deep.get().bstrVal), L"deep");
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
  ASSERT_EQ(collection->Add(Object(collection.get()), hg::win::MissingArgument(), hg::win::MissingArgument(), hg::win::MissingArgument()), S_OK);
  EXPECT_EQ(bag->WriteProperty(Bstr(L"c"), Object(collection.get()), hg::win::MissingArgument()), E_INVALIDARG);
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
