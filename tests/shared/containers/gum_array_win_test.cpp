// CGumArray through its interface: the automation values of its rows and
// cells (the table itself is tested natively).
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

using hg::test::LastFailure;
using hg::test::Long;
using hg::test::Text;
using hg::win::Variant;

Variant Number(VARTYPE type, double value) {
  Variant number;
  VARIANT source{};
  source.vt = VT_R8;
  source.dblVal = value;
  ::VariantChangeType(number.put(), &source, 0, type);
  return number;
}

class GumArrayTest : public ::testing::Test {
 protected:
  HRESULT AddRow(std::vector<Variant> values, LONG lowerBound = 0) {
    const Variant row = hg::test::Variants(std::move(values), lowerBound);
    SAFEARRAY* array = row.get().parray;
    return table->AddRow(&array);
  }
  Variant Item(LONG row, LONG column) {
    Variant item;
    EXPECT_EQ(table->get_Item(row, column, item.put()), S_OK);
    return item;
  }
  // The second column of each row, where the tests put a row's number.
  std::vector<LONG> Tags() {
    LONG rows = 0;
    table->get_RowsCount(&rows);
    std::vector<LONG> tags;
    for (LONG r = 1; r <= rows; ++r) tags.push_back(Item(r, 2).get().lVal);
    return tags;
  }

  hg::test::ComApartment com;
  hg::win::com_ptr<_CGumArray> table = hg::test::Create<_CGumArray>(CLSID_CGumArray, IID__CGumArray);
};

TEST_F(GumArrayTest, SortsEveryNumericTypeByValueBeforeTexts) {
  ASSERT_EQ(table->Init(2), S_OK);
  std::vector<Variant> keys;
  keys.push_back(Text(L"10"));
  for (const auto& [type, value] : std::vector<std::pair<VARTYPE, double>>{
           {VT_I2, 3}, {VT_BOOL, -1}, {VT_CY, 2.5}, {VT_EMPTY, 0}, {VT_R8, 0.5}, {VT_DATE, 1.25},
               {VT_DECIMAL, 4}, {VT_UI1, 200}}) {
    keys.push_back(type == VT_EMPTY ? Variant() : Number(type, value));
  }
  for (std::size_t k = 0; k < keys.size(); ++k) {
    std::vector<Variant> row;
    row.push_back(std::move(keys[k]));
    row.push_back(Long(static_cast<LONG>(k + 1)));
    ASSERT_EQ(AddRow(std::move(row)), S_OK);
  }
  ASSERT_EQ(table->Sort(1, VARIANT_TRUE), S_OK);
  // True (-1), empty (0), 0.5, 1.25, 2.5, 3, 4, 200, then the text "10".
  EXPECT_EQ(Tags(), (std::vector<LONG>{3, 5, 6, 7, 4, 2, 8, 9, 1}));
}

TEST_F(GumArrayTest, ObjectsAreHeldByReferenceAndCannotBeCompared) {
  const auto object = hg::test::Create<IUnknown>(CLSID_CCollection, IID_IUnknown);
  ASSERT_EQ(table->Init(2), S_OK);
  for (LONG tag = 1; tag <= 3; ++tag) {
    std::vector<Variant> row;
    row.push_back(tag == 3 ? hg::test::Object(object.get()) : Long(3 - tag));
    row.push_back(Long(tag));
    ASSERT_EQ(AddRow(std::move(row)), S_OK);
  }
  const Variant item = Item(3, 1);
  ASSERT_EQ(item.type(), VT_UNKNOWN);
  EXPECT_EQ(item.get().punkVal, object.get());
  const auto failure = LastFailure(table->Sort(1, VARIANT_TRUE));
  EXPECT_EQ(failure.hr, static_cast<HRESULT>(0x800A000D));
  EXPECT_EQ(failure.source, L"tkShared.CGumArray");
  EXPECT_EQ(Tags(), (std::vector<LONG>{2, 1, 3}));  // swapped before the object was reached
}

TEST_F(GumArrayTest, TakesARowFromAnyLowerBoundAndCopiesItsValues) {
  ASSERT_EQ(table->Init(3), S_OK);
  Variant referenced = Text(L"by reference");
  std::vector<Variant> row;
  row.push_back(Text(L"five"));
  row.push_back(Variant());
  VARIANT* byReference = hg::test::Ref(row.back());
  byReference->vt = VT_BYREF | VT_VARIANT;
  byReference->pvarVal = hg::test::Ref(referenced);
  ASSERT_EQ(AddRow(std::move(row), 5), S_OK);
  referenced = Variant();
  EXPECT_EQ(hg::test::TextOf(Item(1, 1).get()), L"five");
  EXPECT_EQ(Item(1, 2).type(), VT_BSTR);
  EXPECT_EQ(hg::test::TextOf(Item(1, 2).get()), L"by reference");
  EXPECT_EQ(Item(1, 3).type(), VT_EMPTY);
}

TEST_F(GumArrayTest, RefusedRowsAddNothing) {
  ASSERT_EQ(table->Init(1), S_OK);
  std::vector<Variant> tooMany;
  tooMany.push_back(Text(L"a"));
  tooMany.push_back(Text(L"b"));
  const auto failure = LastFailure(AddRow(std::move(tooMany)));
  EXPECT_EQ(failure.hr, static_cast<HRESULT>(0x80040000));
  EXPECT_EQ(failure.source, L"tkShared.CGumArray");
  SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
  const Variant square = hg::test::Holding(::SafeArrayCreate(VT_VARIANT, 2, bounds));
  SAFEARRAY* array = square.get().parray;
  EXPECT_EQ(table->AddRow(&array), E_INVALIDARG);
  EXPECT_TRUE(Tags().empty());
}

TEST_F(GumArrayTest, DisplaysCellsByTheirTexts) {
  ASSERT_EQ(table->Init(3), S_OK);
  std::vector<Variant> row;
  row.push_back(hg::test::Bool(true));
  row.push_back(Variant());
  hg::test::Ref(row.back())->vt = VT_NULL;
  row.push_back(Long(42));
  ASSERT_EQ(AddRow(std::move(row)), S_OK);
  EXPECT_EQ(hg::test::Str([&](BSTR* text) { return table->AsDisplayString(text); }),
            L"Rows: 1, Columns: 3\r\n1 (True, , 42)\r\n");
}

TEST(GumArrayScripts, VBScriptClientUsesEveryOperationLateBound) {
  hg::test::ExpectScriptPasses(L"gum_array_test.vbs");
}

}  // namespace
