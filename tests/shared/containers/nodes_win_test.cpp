#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Create;
using hg::test::Long;
using hg::win::com_ptr;
using hg::win::Variant;

const VARIANT kMissing = hg::win::MissingArgument();

// Text that lives for the whole test.
struct Texts {
  VARIANT operator()(const std::wstring& text) {
    held.push_back(hg::win::MakeBstr(std::wstring_view(text)));
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = held.back().get();
    return v;
  }
  BSTR Bstr(const std::wstring& text) { return (*this)(text).bstrVal; }
  std::vector<hg::win::unique_bstr> held;
};

std::wstring AsText(const VARIANT& value) {
  Variant text;
  if (FAILED(::VariantChangeType(text.put(), const_cast<VARIANT*>(&value), 0, VT_BSTR))) {
    return L"<" + std::to_wstring(value.vt) + L">";
  }
  return std::to_wstring(value.vt) + L":" + text.get().bstrVal;
}

std::wstring Describe(_CCollection* values) {
  LONG count = 0;
  values->get_Count(&count);
  std::wstring out = L"[";
  for (LONG i = 1; i <= count; ++i) {
    Variant item;
    values->get_Item(Long(i).get(), item.put());
    out += AsText(item.get()) + L";";
  }
  return out + L"]";
}

// Identifiers, parameter names and values, values and order at every level.
std::wstring Describe(_CNode* node) {
  hg::win::unique_bstr id;
  node->get_Id(id.put());
  std::wstring out = L"{" + std::wstring(id.get());
  com_ptr<_CParams> params;
  node->get_params(params.put());
  LONG count = 0;
  params->get_Count(&count);
  for (LONG i = 1; i <= count; ++i) {
    com_ptr<_CParam> param;
    params->get_Item(Long(i).get(), param.put());
    hg::win::unique_bstr name;
    param->get_Name(name.put());
    com_ptr<_CCollection> values;
    param->get_Values(values.put());
    out += L" " + std::wstring(name.get()) + L"=" + Describe(values.get());
  }
  com_ptr<_CCollection> values;
  node->get_Values(values.put());
  out += L" V" + Describe(values.get());
  com_ptr<_CNodes> children;
  node->get_SubNodes(children.put());
  children->get_Count(&count);
  for (LONG i = 1; i <= count; ++i) {
    com_ptr<_CNode> child;
    children->get_Item(Long(i).get(), child.put());
    out += L" " + Describe(child.get());
  }
  return out + L"}";
}

class NodesTest : public ::testing::Test {
 protected:
  // A node with a parameter and two values, and `depth - 1` more levels of two children.
  void Fill(_CNode* node, int depth, const std::wstring& label) {
    com_ptr<_CParams> params;
    ASSERT_EQ(node->get_params(params.put()), S_OK);
    com_ptr<_CParam> param;
    ASSERT_EQ(params->Add(text(L"Label"), text(label), param.put()), S_OK);
    ASSERT_EQ(params->Add(text(L"Depth"), Long(depth).get(), param.put()), S_OK);
    com_ptr<_CCollection> values;
    ASSERT_EQ(node->get_Values(values.put()), S_OK);
    ASSERT_EQ(values->Add(text(label + L"-a"), kMissing, kMissing, kMissing), S_OK);
    ASSERT_EQ(values->Add(Long(depth * 10).get(), kMissing, kMissing, kMissing), S_OK);
    if (depth == 1) return;
    com_ptr<_CNodes> children;
    ASSERT_EQ(node->get_SubNodes(children.put()), S_OK);
    for (int i = 1; i <= 2; ++i) {
      com_ptr<_CNode> child;
      ASSERT_EQ(children->Add(child.put()), S_OK);
      Fill(child.get(), depth - 1, label + L"." + std::to_wstring(i));
    }
  }

  // The object as a new bag reads it back from the bytes of the one it was written to.
  Variant RoundTrip(IDispatch* object) {
    auto bag = Create<_PropertyBag>(CLSID_PropertyBag, IID__PropertyBag);
    VARIANT value;
    value.vt = VT_DISPATCH;
    value.pdispVal = object;
    EXPECT_EQ(bag->WriteProperty(text.Bstr(L"Tree"), value, kMissing), S_OK);
    Variant contents;
    EXPECT_EQ(bag->get_Contents(contents.put()), S_OK);
    auto copy = Create<_PropertyBag>(CLSID_PropertyBag, IID__PropertyBag);
    EXPECT_EQ(copy->put_Contents(contents.get()), S_OK);
    Variant restored;
    EXPECT_EQ(copy->ReadProperty(text.Bstr(L"tree"), kMissing, restored.put()),
              S_OK);
    return restored;
  }

  hg::test::ComApartment com;
  Texts text;
};

TEST_F(NodesTest, TreeOfDepthThreeComesBackThroughContentsIntoANewBag) {
  auto root = Create<_CNode>(CLSID_CNode, IID__CNode);
  Fill(root.get(), 3, L"root");
  const Variant restoredValue = RoundTrip(root.get());
  ASSERT_EQ(restoredValue.type(), VT_DISPATCH);
  com_ptr<_CNode> restored;
  ASSERT_EQ(restoredValue.get().pdispVal->QueryInterface(IID__CNode, restored.put_void()), S_OK);
  EXPECT_NE(restored.get(), root.get());
  const std::wstring original = Describe(root.get());
  EXPECT_NE(original.find(L"root.2.1"), std::wstring::npos) << original;
  EXPECT_EQ(Describe(restored.get()), original);

  // Restored children are keyed by their identifiers again.
  com_ptr<_CNodes> children;
  ASSERT_EQ(restored->get_SubNodes(children.put()), S_OK);
  com_ptr<_CNode> second;
  ASSERT_EQ(children->get_Item(Long(2).get(), second.put()), S_OK);
  hg::win::unique_bstr id;
  ASSERT_EQ(second->get_Id(id.put()), S_OK);
  com_ptr<_CNode> byId;
  ASSERT_EQ(children->get_Item(text(id.get()), byId.put()), S_OK);
  EXPECT_EQ(byId.get(), second.get());
}

TEST_F(NodesTest, EntriesRenamedToAnotherEntrysKeyComeBackAllTheSame) {
  auto nodes = Create<_CNodes>(CLSID_CNodes, IID__CNodes);
  com_ptr<_CNode> first, second;
  ASSERT_EQ(nodes->Add(first.put()), S_OK);
  ASSERT_EQ(nodes->Add(second.put()), S_OK);
  hg::win::unique_bstr id;
  ASSERT_EQ(first->get_Id(id.put()), S_OK);
  ASSERT_EQ(second->put_Id(id.get()), S_OK);
  auto params = Create<_CParams>(CLSID_CParams, IID__CParams);
  com_ptr<_CParam> a, b;
  ASSERT_EQ(params->Add(text(L"A"), Long(1).get(), a.put()), S_OK);
  ASSERT_EQ(a->put_Name(text.Bstr(L"B")), S_OK);
  ASSERT_EQ(params->Add(text(L"B"), Long(2).get(), b.put()), S_OK);

  const Variant restoredNodes = RoundTrip(nodes.get());
  ASSERT_EQ(restoredNodes.type(), VT_DISPATCH);
  com_ptr<_CNodes> nodesBack;
  ASSERT_EQ(restoredNodes.get().pdispVal->QueryInterface(IID__CNodes, nodesBack.put_void()), S_OK);
  LONG count = 0;
  ASSERT_EQ(nodesBack->get_Count(&count), S_OK);
  EXPECT_EQ(count, 2);

  const Variant restoredParams = RoundTrip(params.get());
  ASSERT_EQ(restoredParams.type(), VT_DISPATCH);
  com_ptr<_CParams> paramsBack;
  ASSERT_EQ(restoredParams.get().pdispVal->QueryInterface(IID__CParams, paramsBack.put_void()),
            S_OK);
  ASSERT_EQ(paramsBack->get_Count(&count), S_OK);
  EXPECT_EQ(count, 2);
  com_ptr<_CParam> byName;
  ASSERT_EQ(paramsBack->get_Item(text(L"b"), byName.put()), S_OK);
  Variant value;
  ASSERT_EQ(byName->get_Value(value.put()), S_OK);
  EXPECT_EQ(value.get().lVal, 1);  // the first entry holding the name keeps the key
}

TEST_F(NodesTest, NewNodesHaveDistinctIdentifiersInRegistryForm) {
  auto nodes = Create<_CNodes>(CLSID_CNodes, IID__CNodes);
  com_ptr<_CNode> first, second, found;
  ASSERT_EQ(nodes->Add(first.put()), S_OK);
  ASSERT_EQ(nodes->Add(second.put()), S_OK);
  const std::wstring firstId = hg::test::Str([&](BSTR* id) { return first->get_Id(id); });
  const std::wstring secondId = hg::test::Str([&](BSTR* id) { return second->get_Id(id); });
  const std::wregex form(L"\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
  EXPECT_TRUE(std::regex_match(firstId, form)) << firstId;
  EXPECT_NE(firstId, secondId);
  ASSERT_EQ(nodes->get_Item(text(secondId), found.put()), S_OK);
  EXPECT_EQ(found.get(), second.get());
}

TEST(NodesScripts, VBScriptClientSavesAndRestoresATreeLateBound) { hg::test::ExpectScriptPasses(L"nodes_test.vbs"); }

}  // namespace
