// The conversions at the Win32 and COM edge: texts in the system code page,
// and automation values.
#include <gtest/gtest.h>

#include <stdexcept>

#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/variant_win.h"
#include "tests/support/com_test_win.h"

namespace {

using namespace hg::win;
using hg::test::Long;

// Texts keep their embedded zeros. (Empty, plain and accented texts go through
// every file the library and the program read and write in the code page.)
TEST(SystemCodePage, RoundTripsEmbeddedZeros) {
  const std::wstring zero(L"a\0b", 3);
  EXPECT_EQ(AnsiToWide(WideToAnsi(zero)), zero);
}

unique_safearray Variants(VARIANT first, VARIANT second) {
  std::vector<Variant> items;
  items.push_back(Variant::CopyOf(first));
  items.push_back(Variant::CopyOf(second));
  return VariantArray(items, 0);
}

// A locked array cannot be destroyed: neither a refusal nor a throw midway may leave one locked.
TEST(BytesOf, RefusesWhatHoldsNoBytesAndLeavesNoArrayLocked) {
  SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
  struct {
    const char* name;
    unique_safearray array;
  } refused[] = {
      {"a variant past a byte", Variants(Long(1).get(), Long(256).get())},
      {"an array of longs", NewVector(VT_I4, 2, 0)},
      {"two dimensions", unique_safearray(::SafeArrayCreate(VT_UI1, 2, square))},
  };
  for (auto& row : refused) {
    EXPECT_THROW(BytesOf(row.array.get()), HResultError) << row.name;
    EXPECT_EQ(::SafeArrayDestroy(row.array.release()), S_OK) << row.name << " left locked";
  }
  unique_safearray array = ByteArray(std::string_view("abc"), 0);
  EXPECT_THROW(
      {
        const ArrayAccess access(array.get());
        throw std::runtime_error("midway");
      },
      std::runtime_error);
  EXPECT_EQ(::SafeArrayDestroy(array.release()), S_OK);
}

}  // namespace
