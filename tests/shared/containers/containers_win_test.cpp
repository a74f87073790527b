// The containers through their interfaces where a script cannot reach: the
// standard interfaces, values no script makes, failures a client of COM
// forges. The script clients prove the rest at the COM boundary (the
// portable cores are tested natively).
#include "tests/shared/library_test_win.h"

namespace {

using namespace hg::test;
using hg::win::com_ptr;
using hg::win::Variant;

TEST(ContainerScripts, ClientsUseEveryClassLateBound) {
  for (const wchar_t* script :
       {L"collection_test.vbs", L"collection_test.js", L"gum_array_test.vbs", L"nodes_test.vbs"}) {
    SCOPED_TRACE(script);
    ExpectScriptPasses(script);
  }
}

class Containers : public ::testing::Test {
 protected:
  ComApartment com;
  com_ptr<_PropertyBag> bag = Create<_PropertyBag>(CLSID_PropertyBag, IID__PropertyBag);
  com_ptr<IPropertyBag> standard = bag.query<IPropertyBag>(IID_IPropertyBag);
  com_ptr<_CCollection> collection = Create<_CCollection>(CLSID_CCollection, IID__CCollection);
};

TEST_F(Containers, PropertyBagKeepsBoundsThroughIPropertyBagAndCorruptContentsChangeNothing) {
  ASSERT_EQ(standard->Write(L"Bytes", Ref(Bytes("\x0A\x14\x1E", 1))), S_OK);
  EXPECT_EQ(bag->put_Contents(Bytes(std::string_view("\0\0\0\0\0", 5)).get()), HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
  EXPECT_NE(LastFailure(E_FAIL).description.find(L"not a property bag"), std::wstring::npos);
  Variant bytes;
  ASSERT_EQ(standard->Read(L"bytes", bytes.put(), nullptr), S_OK);
  EXPECT_EQ(hg::win::BoundsOf(bytes.get().parray).lower, 1);
  EXPECT_EQ(BytesOf(bytes.get()), "\x0A\x14\x1E");
}

// A persistable object whose Save fails without recording error information.
class SilentlyFailingObject final : public IPersistPropertyBag {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    const bool known = iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IPersistPropertyBag;
    *object = known ? static_cast<IPersistPropertyBag*>(this) : nullptr;
    return known ? S_OK : E_NOINTERFACE;
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

TEST_F(Containers, PropertyBagNeverLendsANestedFailureAnOlderDescription) {
  com_ptr<ICreateErrorInfo> create;
  ASSERT_EQ(::CreateErrorInfo(create.put()), S_OK);
  create->SetDescription(const_cast<LPOLESTR>(L"stale"));
  ::SetErrorInfo(0, create.query<IErrorInfo>(IID_IErrorInfo).get());
  SilentlyFailingObject object;
  EXPECT_EQ(bag->WriteProperty(Bstr(L"o"), Object(&object).get(), hg::win::MissingArgument()), E_FAIL);
  EXPECT_EQ(LastFailure(E_FAIL).description.find(L"stale"), std::wstring::npos);
}

TEST_F(Containers, CollectionWritesNoCountWhenEmptyAndRefusesAForgedCountWithADescription) {
  auto persist = collection.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
  ASSERT_TRUE(persist);
  ASSERT_EQ(persist->Save(standard.get(), TRUE, TRUE), S_OK);
  Variant count;
  EXPECT_EQ(standard->Read(L"n", count.put(), nullptr), E_INVALIDARG);
  auto support = collection.query<ISupportErrorInfo>(IID_ISupportErrorInfo);
  ASSERT_TRUE(support);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IPersistPropertyBag), S_OK);
  // The enumerator reports bare HRESULTs: a caller must not read error information there.
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IEnumVARIANT), S_FALSE);
  const struct {
    LONG count;
    const wchar_t* reason;
  } forged[] = {{0x7FFFFFFF, L"entry 1"}, {-1, L"negative"}};
  for (const auto& row : forged) {
    ASSERT_EQ(standard->Write(L"n", Ref(Long(row.count))), S_OK);
    const ComFailure failure = LastFailure(persist->Load(standard.get(), nullptr));
    EXPECT_EQ(failure.hr, HRESULT_FROM_WIN32(ERROR_INVALID_DATA)) << row.count;
    EXPECT_NE(failure.description.find(row.reason), std::wstring::npos) << row.count;
  }
}

// A ByRef String argument is a key, not a number (no item 3 is there); the
// script client passes its variable, a variant by reference.
TEST_F(Containers, CollectionTakesTextPassedByReferenceAsAKey) {
  const VARIANT none = hg::win::MissingArgument();
  ASSERT_EQ(collection->Add(Text(L"keyed").get(), Text(L"3").get(), none, none), S_OK);
  Variant key = Text(L"3"), item;
  ASSERT_EQ(collection->get_Item(ByReference(VT_BSTR, &Ref(key)->bstrVal), item.put()), S_OK);
  EXPECT_EQ(TextOf(item.get()), L"keyed");
}

}  // namespace
