#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Create;
using hg::test::LastFailure;
using hg::test::Long;
using hg::test::Text;
using hg::win::com_ptr;
using hg::win::Variant;
using Failure = hg::test::ComFailure;

const VARIANT kMissing = hg::win::MissingArgument();

class CollectionTest : public ::testing::Test {
 protected:
  HRESULT Add(const wchar_t* item, const wchar_t* key) {
    return collection->Add(Text(item).get(), key ? Text(key).get() : kMissing, kMissing, kMissing);
  }
  std::size_t Count() { return hg::test::Items(collection.get()).size(); }
  std::wstring TextAt(const VARIANT& index) {
    Variant item;
    return SUCCEEDED(collection->get_Item(index, item.put())) ? hg::test::TextOf(item.get())
                                                              : L"<none>";
  }
  bool Contains(const wchar_t* key) {
    return hg::test::Flag([&](VARIANT_BOOL* r) { return collection->IsInCollection(hg::test::Bstr(key), r); });
  }

  hg::test::ComApartment com;
  com_ptr<_CCollection> collection = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
};

// Keys in any letter case, numbers, objects held by reference and the
// errors' numbers are proved by the script clients (collection_test.vbs, .js).

// A variable never assigned is Empty: as the language's own collection does,
// it adds without a key instead of under the key "".
TEST_F(CollectionTest, AnEmptyKeyIsNoKey) {
  const Variant empty;
  ASSERT_EQ(collection->Add(Text(L"one").get(), empty.get(), kMissing, kMissing), S_OK);
  ASSERT_EQ(collection->Add(Text(L"two").get(), empty.get(), kMissing, kMissing), S_OK);
  EXPECT_EQ(Count(), 2u);
  EXPECT_FALSE(Contains(L""));
}

TEST_F(CollectionTest, TextPassedByReferenceIsAKeyNotANumber) {
  for (const wchar_t* item : {L"first", L"second", L"third"}) ASSERT_EQ(Add(item, nullptr), S_OK);
  ASSERT_EQ(Add(L"keyed", L"3"), S_OK);
  // A ByRef String argument, and a variant by reference holding text.
  Variant key = Text(L"3");
  VARIANT byRef;
  byRef.vt = VT_BYREF | VT_BSTR;
  byRef.pbstrVal = &const_cast<VARIANT&>(key.get()).bstrVal;
  EXPECT_EQ(TextAt(byRef), L"keyed");
  VARIANT variantByRef;
  variantByRef.vt = VT_BYREF | VT_VARIANT;
  variantByRef.pvarVal = &byRef;
  EXPECT_EQ(TextAt(variantByRef), L"keyed");
  ASSERT_EQ(collection->Remove(byRef), S_OK);
  EXPECT_EQ(TextAt(Long(3).get()), L"third");
  EXPECT_EQ(Count(), 3u);
}

TEST_F(CollectionTest, ErrorInformationCoversPersistenceToo) {
  auto support = collection.query<ISupportErrorInfo>(IID_ISupportErrorInfo);
  ASSERT_TRUE(support);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__CCollection), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IPersistPropertyBag), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IEnumVARIANT), S_FALSE);

  // A failure under IPersistPropertyBag does leave its description.
  auto persist = collection.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
  auto bag = Create<IPropertyBag>(CLSID_PropertyBag, IID_IPropertyBag);
  ASSERT_TRUE(persist && bag);
  Variant negativeCount = Long(-1);
  ASSERT_EQ(bag->Write(L"n", const_cast<VARIANT*>(&negativeCount.get())), S_OK);
  const Failure failure = LastFailure(persist->Load(bag.get(), nullptr));
  EXPECT_TRUE(FAILED(failure.hr));
  EXPECT_FALSE(failure.description.empty());
}

TEST_F(CollectionTest, FailuresCarryDistinctNumbersAndDescriptions) {
  ASSERT_EQ(Add(L"one", L"k"), S_OK);
  const struct {
    Failure failure;
    HRESULT expected;
  } cases[] = {
      {LastFailure(Add(L"again", L"K")), static_cast<HRESULT>(0x800A01C9)},
      {LastFailure(collection->Remove(Text(L"missing").get())), static_cast<HRESULT>(0x800A0005)},
      {LastFailure(collection->Remove(Long(2).get())), static_cast<HRESULT>(0x800A0009)},
      {LastFailure(collection->Add(Text(L"x").get(), kMissing, Long(1).get(), Long(1).get())),
       E_INVALIDARG},
  };
  for (const auto& [failure, expected] : cases) {
    EXPECT_EQ(failure.hr, expected);
    EXPECT_FALSE(failure.description.empty());
    EXPECT_EQ(failure.source, L"tkShared.CCollection");
  }
  EXPECT_EQ(Count(), 1u);
}

TEST_F(CollectionTest, EnumeratesASnapshotInOrderAndClears) {
  ASSERT_EQ(Add(L"b", L"kb"), S_OK);
  ASSERT_EQ(collection->Add(Text(L"a").get(), kMissing, Text(L"KB").get(), kMissing), S_OK);
  ASSERT_EQ(collection->Add(Text(L"c").get(), kMissing, kMissing, Long(2).get()), S_OK);

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
  EXPECT_EQ(Count(), 0u);

  std::wstring order;
  Variant item;
  ULONG fetched = 0;
  while (walk->Next(1, item.put(), &fetched) == S_OK && fetched == 1) {
    order += hg::test::TextOf(item.get());
  }
  EXPECT_EQ(order, L"abc");
}

TEST(CollectionScripts, ScriptClientsUseEveryOperationLateBound) {
  for (const wchar_t* script : {L"collection_test.vbs", L"collection_test.js"}) hg::test::ExpectScriptPasses(script);
}

}  // namespace
