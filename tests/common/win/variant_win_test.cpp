#include "common/win/variant_win.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "common/win/result.h"
#include "common/win/text_win.h"

namespace {

using namespace hg::win;

unique_safearray VariantVector(std::initializer_list<VARIANT> items) {
  unique_safearray array = NewVector(VT_VARIANT, items.size(), 0);
  LONG i = 0;
  for (VARIANT item : items) {
    EXPECT_EQ(::SafeArrayPutElement(array.get(), &i, &item), S_OK);
    ++i;
  }
  return array;
}

VARIANT Long(LONG value) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

TEST(ArrayAccess, LeavesNoArrayLockedWhenTheWorkThrows) {
  unique_safearray array = ByteArray(std::string_view("abc"), 0);
  EXPECT_THROW(
      {
        const ArrayAccess access(array.get());
        throw std::runtime_error("midway");
      },
      std::runtime_error);
  // A locked array cannot be destroyed.
  EXPECT_EQ(::SafeArrayDestroy(array.release()), S_OK);
}

TEST(BytesOf, ReadsByteAndVariantArraysAndRefusesOthers) {
  EXPECT_EQ(BytesOf(nullptr), "");
  EXPECT_EQ(BytesOf(ByteArray(std::string_view("a\0b", 3), 1).get()), std::string("a\0b", 3));
  EXPECT_EQ(BytesOf(NewVector(VT_UI1, 0, 1).get()), "");
  EXPECT_EQ(BytesOf(VariantVector({Long(65), TextVariant("66").get()}).get()), "AB");

  unique_safearray tooLarge = VariantVector({Long(256)});
  EXPECT_THROW(BytesOf(tooLarge.get()), HResultError);
  EXPECT_EQ(::SafeArrayDestroy(tooLarge.release()), S_OK) << "left locked";

  const unique_safearray longs = NewVector(VT_I4, 2, 0);
  EXPECT_THROW(BytesOf(longs.get()), HResultError);
  SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
  const unique_safearray twoDimensions(::SafeArrayCreate(VT_UI1, 2, square));
  EXPECT_THROW(BytesOf(twoDimensions.get()), HResultError);
}

TEST(VariantsOf, CopiesElementsOfEveryTypeFromTheLowerBound) {
  const unique_safearray variants = VariantArray(std::vector<Variant>{}, 0);
  EXPECT_TRUE(VariantsOf(variants.get()).empty());

  std::vector<Variant> given;
  given.push_back(TextVariant("one"));
  given.push_back(Variant::CopyOf(Long(2)));
  const unique_safearray array = VariantArray(given, 1);
  EXPECT_EQ(BoundsOf(array.get()).lower, 1);
  const std::vector<Variant> back = VariantsOf(array.get());
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(TextOf(back[0].get()), "one");
  EXPECT_EQ(back[1].get().lVal, 2);

  const unique_safearray bytes = ByteArray(std::string_view("\x07"), 0);
  const std::vector<Variant> typed = VariantsOf(bytes.get());
  ASSERT_EQ(typed.size(), 1u);
  EXPECT_EQ(typed[0].type(), VT_UI1);
  EXPECT_EQ(typed[0].get().bVal, 7);
}

TEST(VariantValues, FindArraysBehindReferencesAndConvertTextAndBooleans) {
  unique_safearray array = ByteArray(std::string_view("z"), 0);
  SAFEARRAY* held = array.get();
  VARIANT byReference;
  byReference.vt = VT_BYREF | VT_ARRAY | VT_UI1;
  byReference.pparray = &held;
  VARIANT outer;
  outer.vt = VT_BYREF | VT_VARIANT;
  outer.pvarVal = &byReference;
  EXPECT_TRUE(HoldsArray(outer));
  EXPECT_EQ(ArrayOf(outer), held);
  EXPECT_EQ(ArrayOf(Long(1)), nullptr);

  EXPECT_EQ(TextOf(Long(42)), "42");
  VARIANT boolean;
  boolean.vt = VT_BOOL;
  boolean.boolVal = VARIANT_TRUE;
  EXPECT_EQ(TextOf(boolean, VARIANT_ALPHABOOL), "True");
  EXPECT_TRUE(BooleanOf(Long(-1)));
  EXPECT_FALSE(BooleanOf(Long(0)));
  EXPECT_TRUE(IsTrue(1));  // any value but False
}

TEST(PutResults, WriteThroughTypedReferencesOrReplaceTheValue) {
  unique_bstr old = MakeBstr("old");
  BSTR text = old.release();
  VARIANT typed;
  typed.vt = VT_BYREF | VT_BSTR;
  typed.pbstrVal = &text;
  VARIANT script;
  script.vt = VT_BYREF | VT_VARIANT;
  script.pvarVal = &typed;
  PutText(*OutTarget(&script), "new");
  EXPECT_EQ(FromBstr(text), "new");
  ::SysFreeString(text);

  VARIANT plain;
  TextVariant("replaced").Detach(&plain);
  PutLong(plain, 5);
  EXPECT_EQ(plain.vt, VT_I4);
  VARIANT_BOOL flag = VARIANT_FALSE;
  VARIANT flagReference;
  flagReference.vt = VT_BYREF | VT_BOOL;
  flagReference.pboolVal = &flag;
  PutBool(flagReference, true);
  EXPECT_EQ(flag, VARIANT_TRUE);
  EXPECT_EQ(OutTarget(nullptr), nullptr);
}

}  // namespace
