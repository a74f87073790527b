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

VARIANT Number(VARTYPE type, double value) {
  VARIANT number{};
  VARIANT source{};
  source.vt = VT_R8;
  source.dblVal = value;
  ::VariantChangeType(&number, &source, 0, type);
  return number;
}

VARIANT Text(const wchar_t* text) {
  VARIANT value{};
  value.vt = VT_BSTR;
  value.bstrVal = ::SysAllocString(text);
  return value;
}

VARIANT Object(IUnknown* object) {
  VARIANT value{};
  value.vt = VT_UNKNOWN;
  value.punkVal = object;
  object->AddRef();
  return value;
}

// A one-dimensional array of variants from lowerBound up; takes the values.
hg::win::unique_safearray Row(std::vector<VARIANT> values, LONG lowerBound = 0) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(values.size()), lowerBound};
  hg::win::unique_safearray row(::SafeArrayCreate(VT_VARIANT, 1, &bound));
  VARIANT* data = nullptr;
  ::SafeArrayAccessData(row.get(), reinterpret_cast<void**>(&data));
  for (size_t k = 0; k < values.size(); ++k) data[k] = values[k];
  ::SafeArrayUnaccessData(row.get());
  return row;
}

HRESULT AddRow(_CGumArray* table, std::vector<VARIANT> values, LONG lowerBound = 0) {
  auto row = Row(std::move(values), lowerBound);
  SAFEARRAY* array = row.get();
  return table->AddRow(&array);
}

using Failure = hg::test::ComFailure;
using hg::test::LastFailure;

class GumArrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::CoCreateInstance(CLSID_CGumArray, nullptr, CLSCTX_INPROC_SERVER,
                                 IID__CGumArray, table.put_void()),
              S_OK);
  }

  Variant Item(LONG row, LONG column) {
    Variant item;
    EXPECT_EQ(table->get_Item(row, column, item.put()), S_OK);
    return item;
  }
  LONG Tag(LONG row) {
    Variant item = Item(row, 2);
    return item.type() == VT_I4 ? item.get().lVal : -1;
  }

  hg::test::ComApartment com;
  com_ptr<_CGumArray> table;
};

TEST_F(GumArrayTest, SortsEveryNumericTypeByValueBeforeTexts) {
  ASSERT_EQ(table->Init(2), S_OK);
  const std::vector<VARIANT> keys = {
      Text(L"10"),           Number(VT_I2, 3),      Number(VT_BOOL, -1),
      Number(VT_CY, 2.5),    VARIANT{},             Number(VT_R8, 0.5),
      Number(VT_DATE, 1.25), Number(VT_DECIMAL, 4), Number(VT_UI1, 200),
  };
  for (size_t k = 0; k < keys.size(); ++k) {
    ASSERT_EQ(AddRow(table.get(), {keys[k], Number(VT_I4, static_cast<double>(k + 1))}), S_OK);
  }
  ASSERT_EQ(table->Sort(1, VARIANT_TRUE), S_OK);
  // True (-1), empty (0), 0.5, 1.25, 2.5, 3, 4, 200, then the text "10".
  std::vector<LONG> order;
  for (LONG r = 1; r <= 9; ++r) order.push_back(Tag(r));
  EXPECT_EQ(order, (std::vector<LONG>{3, 5, 6, 7, 4, 2, 8, 9, 1}));
}

TEST_F(GumArrayTest, ObjectsAreHeldByReferenceAndCannotBeCompared) {
  com_ptr<IUnknown> object;
  ASSERT_EQ(::CoCreateInstance(CLSID_CCollection, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               object.put_void()),
            S_OK);
  ASSERT_EQ(table->Init(2), S_OK);
  ASSERT_EQ(AddRow(table.get(), {Number(VT_I4, 2), Number(VT_I4, 1)}), S_OK);
  ASSERT_EQ(AddRow(table.get(), {Number(VT_I4, 1), Number(VT_I4, 2)}), S_OK);
  ASSERT_EQ(AddRow(table.get(), {Object(object.get()), Number(VT_I4, 3)}), S_OK);

  Variant item = Item(3, 1);
  ASSERT_EQ(item.type(), VT_UNKNOWN);
  EXPECT_EQ(item.get().punkVal, object.get());

  const Failure failure = LastFailure(table->Sort(1, VARIANT_TRUE));
  EXPECT_EQ(failure.hr, static_cast<HRESULT>(0x800A000D));
  EXPECT_EQ(failure.source, L"tkShared.CGumArray");
  EXPECT_EQ(Tag(1), 2);  // rows 1 and 2 were swapped before the object was reached
  EXPECT_EQ(Tag(2), 1);
}

TEST_F(GumArrayTest, TakesARowFromAnyLowerBoundAndCopiesItsValues) {
  ASSERT_EQ(table->Init(3), S_OK);
  VARIANT referenced = Text(L"by reference");
  VARIANT byReference{};
  byReference.vt = VT_BYREF | VT_VARIANT;
  byReference.pvarVal = &referenced;
  ASSERT_EQ(AddRow(table.get(), {Text(L"five"), byReference}, 5), S_OK);
  ::VariantClear(&referenced);

  Variant first = Item(1, 1);
  Variant second = Item(1, 2);
  ASSERT_EQ(first.type(), VT_BSTR);
  EXPECT_STREQ(first.get().bstrVal, L"five");
  ASSERT_EQ(second.type(), VT_BSTR);
  EXPECT_STREQ(second.get().bstrVal, L"by reference");
  EXPECT_EQ(Item(1, 3).type(), VT_EMPTY);
}

TEST_F(GumArrayTest, RefusedRowsAddNothing) {
  ASSERT_EQ(table->Init(1), S_OK);
  const Failure tooMany = LastFailure(AddRow(table.get(), {Text(L"a"), Text(L"b")}));
  EXPECT_EQ(tooMany.hr, static_cast<HRESULT>(0x80040000));
  EXPECT_EQ(tooMany.source, L"tkShared.CGumArray");

  SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
  hg::win::unique_safearray square(::SafeArrayCreate(VT_VARIANT, 2, bounds));
  SAFEARRAY* array = square.get();
  EXPECT_EQ(table->AddRow(&array), E_INVALIDARG);
  LONG rows = -1;
  ASSERT_EQ(table->get_RowsCount(&rows), S_OK);
  EXPECT_EQ(rows, 0);
}

TEST_F(GumArrayTest, DisplaysCellsByTheirTexts) {
  ASSERT_EQ(table->Init(3), S_OK);
  VARIANT null{};
  null.vt = VT_NULL;
  ASSERT_EQ(AddRow(table.get(), {Number(VT_BOOL, -1), null, Number(VT_I4, 42)}), S_OK);
  hg::win::unique_bstr text;
  ASSERT_EQ(table->AsDisplayString(text.put()), S_OK);
  EXPECT_STREQ(text.get(), L"Rows: 1, Columns: 3\r\n1 (True, , 42)\r\n");
}

TEST(GumArrayScripts, VBScriptClientUsesEveryOperationLateBound) {
  const auto run = hg::test::RunScript(L"gum_array_test.vbs");
  EXPECT_EQ(hg::test::LastLine(run.output), "PASS") << run.output;
}

}  // namespace
