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
using hg::test::ByReference;
using hg::test::Long;

// The process's ANSI code page, not the console's; what it lacks becomes '?'.
// (Empty and plain texts go through every file the library reads and writes.)
TEST(SystemCodePage, RoundTripsEmbeddedZerosAndReplacesWhatItLacks) {
  const std::wstring zero(L"a\0b", 3);
  EXPECT_EQ(AnsiToWide(WideToAnsi(zero)), zero);
  if (::GetACP() != 1252) GTEST_SKIP() << "code page " << ::GetACP();
  EXPECT_EQ(WideToAnsi(L"\u00e9\u20ac"), "\xE9\x80");
  EXPECT_EQ(AnsiToWide("\xE9\x80"), L"\u00e9\u20ac");
  EXPECT_EQ(WideToAnsi(L"a\u4e2db"), "a?b");
}

unique_safearray Variants(VARIANT first, VARIANT second) {
  std::vector<Variant> items;
  items.push_back(Variant::CopyOf(first));
  items.push_back(Variant::CopyOf(second));
  return VariantArray(items, 0);
}

// A locked array cannot be destroyed: neither a refusal nor a throw midway may leave one locked.
TEST(BytesOf, ReadsByteAndVariantArraysRefusesOthersAndLeavesNoArrayLocked) {
  EXPECT_EQ(BytesOf(ByteArray(std::string_view("a\0b", 3), 1).get()), std::string("a\0b", 3));
  EXPECT_EQ(BytesOf(Variants(Long(65).get(), TextVariant("66").get()).get()), "AB");

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

// Results go through a script's reference to a typed one; a typed reference
// to nothing gets a value of its own.
TEST(VariantValues, ResultsGoThroughReferencesAndAnyValueButFalseIsTrue) {
  EXPECT_TRUE(IsTrue(1));
  BSTR text = MakeBstr("old").release();
  VARIANT typed = ByReference(VT_BSTR, &text);
  VARIANT script = ByReference(VT_VARIANT, &typed);
  PutText(*OutTarget(&script), "new");
  EXPECT_EQ(FromBstr(text), "new");
  ::SysFreeString(text);
  VARIANT_BOOL flag = VARIANT_FALSE;
  VARIANT flagReference = ByReference(VT_BOOL, &flag);
  PutBool(flagReference, true);
  EXPECT_EQ(flag, VARIANT_TRUE);
  VARIANT noTarget = ByReference(VT_BOOL, nullptr);
  PutBool(noTarget, true);
  EXPECT_EQ(noTarget.vt, VT_BOOL);
  EXPECT_EQ(OutTarget(nullptr), nullptr);
}

}  // namespace
