#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::win::com_ptr;
using hg::win::Variant;

// A VARIANT that borrows text or a number for one call.
struct Arg {
  explicit Arg(const wchar_t* text) : bstr(hg::win::MakeBstr(std::wstring_view(text))) {
    value.vt = VT_BSTR;
    value.bstrVal = bstr.get();
  }
  explicit Arg(long number) {
    value.vt = VT_I4;
    value.lVal = number;
  }
  explicit Arg(IUnknown* object) {
    value.vt = VT_UNKNOWN;
    value.punkVal = object;
  }
  hg::win::unique_bstr bstr;
  VARIANT value{};
};

class CollectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::CoCreateInstance(CLSID_CCollection, nullptr, CLSCTX_INPROC_SERVER,
                                 IID__CCollection, collection.put_void()),
              S_OK);
  }

  HRESULT Add(const wchar_t* item, const wchar_t* key) {
    return collection->Add(Arg(item).value, key ? Arg(key).value : hg::win::MissingArgument(), hg::win::MissingArgument(),
                           hg::win::MissingArgument());
  }
  long Count() {
    LONG count = -1;
    EXPECT_EQ(collection->get_Count(&count), S_OK);
    return count;
  }
  std::wstring TextAt(const Arg& index) {
    Variant item;
    if (FAILED(collection->get_Item(index.value, item.put())) || item.type() != VT_BSTR) {
      return L"<none>";
    }
    return item.get().bstrVal;
  }

  hg::test::ComApartment com;
  com_ptr<_CCollection> collection;
};

using Failure = hg::test::ComFailure;
using hg::test::LastFailure;

TEST(CollectionCreation, ByProgIdAndByClsid) {
  hg::test::ComApartment com;
  CLSID clsid;
  ASSERT_EQ(::CLSIDFromProgID(L"tkShared.CCollection", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_CCollection);
  com_ptr<IDispatch> object;
  EXPECT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               object.put_void()),
            S_OK);
}

TEST_F(CollectionTest, KeyedItemsReadBackByKeyInAnotherLetterCase) {
  ASSERT_EQ(Add(L"one", L"Alpha"), S_OK);
  ASSERT_EQ(Add(L"two", nullptr), S_OK);
  EXPECT_EQ(TextAt(Arg(L"ALPHA")), L"one");
  EXPECT_EQ(TextAt(Arg(2)), L"two");
  VARIANT_BOOL present = VARIANT_FALSE;
  ASSERT_EQ(collection->IsInCollection(Arg(L"alpha").bstr.get(), &present), S_OK);
  EXPECT_EQ(present, VARIANT_TRUE);
  ASSERT_EQ(collection->IsInCollection(Arg(L"two").bstr.get(), &present), S_OK);
  EXPECT_EQ(present, VARIANT_FALSE);  // an entry added without a key
}

TEST_F(CollectionTest, TextPassedByReferenceIsAKeyNotANumber) {
  ASSERT_EQ(Add(L"first", nullptr), S_OK);
  ASSERT_EQ(Add(L"second", nullptr), S_OK);
  ASSERT_EQ(Add(L"third", nullptr), S_OK);
  ASSERT_EQ(Add(L"keyed", L"3"), S_OK);
  // A ByRef String argument, and a variant by reference holding text.
  Arg key(L"3");
  Arg byRef(L"3");
  byRef.value.vt = VT_BYREF | VT_BSTR;
  byRef.value.pbstrVal = &key.value.bstrVal;
  EXPECT_EQ(TextAt(byRef), L"keyed");
  Arg variantByRef(L"3");
  variantByRef.value.vt = VT_BYREF | VT_VARIANT;
  variantByRef.value.pvarVal = &byRef.value;
  EXPECT_EQ(TextAt(variantByRef), L"keyed");
  ASSERT_EQ(collection->Remove(byRef.value), S_OK);
  EXPECT_EQ(TextAt(Arg(3)), L"third");
  EXPECT_EQ(Count(), 3);
}

TEST_F(CollectionTest, ErrorInformationCoversPersistenceToo) {
  com_ptr<ISupportErrorInfo> support;
  ASSERT_EQ(collection->QueryInterface(IID_ISupportErrorInfo, support.put_void()), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__CCollection), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IPersistPropertyBag), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IEnumVARIANT), S_FALSE);

  // A failure under IPersistPropertyBag does leave its description.
  com_ptr<IPersistPropertyBag> persist;
  ASSERT_EQ(collection->QueryInterface(IID_IPersistPropertyBag, persist.put_void()), S_OK);
  com_ptr<IPropertyBag> bag;
  ASSERT_EQ(::CoCreateInstance(CLSID_PropertyBag, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyBag,
                               bag.put_void()),
            S_OK);
  Arg negativeCount(-1L);
  ASSERT_EQ(bag->Write(L"n", &negativeCount.value), S_OK);
  const Failure failure = LastFailure(persist->Load(bag.get(), nullptr));
  EXPECT_TRUE(FAILED(failure.hr));
  EXPECT_FALSE(failure.description.empty());
}

TEST_F(CollectionTest, FailuresCarryDistinctNumbersAndDescriptions) {
  ASSERT_EQ(Add(L"one", L"k"), S_OK);
  const std::vector<Failure> failures = {
      LastFailure(Add(L"again", L"K")),
      LastFailure(collection->Remove(Arg(L"missing").value)),
      LastFailure(collection->Remove(Arg(2).value)),
      LastFailure(collection->Add(Arg(L"x").value, hg::win::MissingArgument(), Arg(1).value, Arg(1).value)),
  };
  EXPECT_EQ(failures[0].hr, static_cast<HRESULT>(0x800A01C9));
  EXPECT_EQ(failures[1].hr, static_cast<HRESULT>(0x800A0005));
  EXPECT_EQ(failures[2].hr, static_cast<HRESULT>(0x800A0009));
  EXPECT_EQ(failures[3].hr, E_INVALIDARG);
  for (const Failure& f : failures) {
    EXPECT_FALSE(f.description.empty());
    EXPECT_EQ(f.source, L"tkShared.CCollection");
  }
  EXPECT_EQ(Count(), 1);
}

TEST_F(CollectionTest, ObjectsAreHeldByReference) {
  com_ptr<_CCollection> inner;
  ASSERT_EQ(::CoCreateInstance(CLSID_CCollection, nullptr, CLSCTX_INPROC_SERVER,
                               IID__CCollection, inner.put_void()),
            S_OK);
  ASSERT_EQ(collection->Add(Arg(inner.get()).value, Arg(L"inner").value, hg::win::MissingArgument(), hg::win::MissingArgument()),
            S_OK);
  Variant item;
  ASSERT_EQ(collection->get_Item(Arg(L"inner").value, item.put()), S_OK);
  ASSERT_TRUE(item.type() == VT_UNKNOWN || item.type() == VT_DISPATCH);
  com_ptr<IUnknown> same;
  ASSERT_EQ(item.get().punkVal->QueryInterface(IID_IUnknown, same.put_void()), S_OK);
  com_ptr<IUnknown> original;
  ASSERT_EQ(inner->QueryInterface(IID_IUnknown, original.put_void()), S_OK);
  EXPECT_EQ(same.get(), original.get());
}

TEST_F(CollectionTest, EnumeratesASnapshotInOrderAndClears) {
  ASSERT_EQ(Add(L"b", L"kb"), S_OK);
  ASSERT_EQ(collection->Add(Arg(L"a").value, hg::win::MissingArgument(), Arg(L"KB").value, hg::win::MissingArgument()), S_OK);
  ASSERT_EQ(collection->Add(Arg(L"c").value, hg::win::MissingArgument(), hg::win::MissingArgument(), Arg(2).value), S_OK);

  // The way script engines ask for it: DISPID_NEWENUM through IDispatch.
  DISPPARAMS none{};
  Variant enumerator;
  ASSERT_EQ(collection->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT,
                               DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, enumerator.put(),
                               nullptr, nullptr),
            S_OK);
  ASSERT_EQ(enumerator.type(), VT_UNKNOWN);
  com_ptr<IEnumVARIANT> walk;
  ASSERT_EQ(enumerator.get().punkVal->QueryInterface(IID_IEnumVARIANT, walk.put_void()), S_OK);

  ASSERT_EQ(collection->Clear(), S_OK);  // the walk keeps its own copy
  EXPECT_EQ(Count(), 0);

  std::wstring order;
  VARIANT item;
  ULONG fetched = 0;
  while (walk->Next(1, &item, &fetched) == S_OK && fetched == 1) {
    order += item.bstrVal;
    ::VariantClear(&item);
  }
  EXPECT_EQ(order, L"abc");
}

TEST(CollectionScripts, VBScriptClientUsesEveryOperationLateBound) {
  const auto run = hg::test::RunScript(L"collection_test.vbs");
  EXPECT_EQ(hg::test::LastLine(run.output), "PASS") << run.output;
}

TEST(CollectionScripts, JScriptClientUsesEveryOperationLateBound) {
  const auto run = hg::test::RunScript(L"collection_test.js");
  EXPECT_EQ(hg::test::LastLine(run.output), "PASS") << run.output;
}

}  // namespace
