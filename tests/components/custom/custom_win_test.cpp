#include <windows.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include "common/product_ids.h"
#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"

namespace {

using hg::win::com_ptr;
using hg::win::Widen;

CLSID ClassOf(const char* progIdOrClsid) {
  CLSID clsid{};
  EXPECT_EQ(::CLSIDFromString(Widen(progIdOrClsid).c_str(), &clsid), S_OK) << progIdOrClsid;
  return clsid;
}

TEST(CustomComponent, CreatableByProgIdAndTheProbeByItsFixedClassId) {
  const hg::test::ComApartment apartment;
  EXPECT_EQ(ClassOf(hg::product::kProbeProgId), ClassOf(hg::product::kProbeClsid));
  for (const char* name : {hg::product::kCustomProgId, hg::product::kProbeClsid}) {
    EXPECT_TRUE(hg::test::Create<IDispatch>(ClassOf(name), IID_IDispatch)) << name;
  }
}

// As the program calls it: late-bound, the writer in a variant by reference.
TEST(CustomComponent, InitByNameLeavesTheLogWriterAsItIs) {
  const hg::test::ComApartment apartment;
  auto custom = hg::test::Create<IDispatch>(ClassOf(hg::product::kCustomProgId), IID_IDispatch);
  auto writer = hg::test::Create<IDispatch>(ClassOf(hg::product::kProbeClsid), IID_IDispatch);
  ASSERT_TRUE(custom && writer);
  wchar_t name[] = L"Init";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  ASSERT_EQ(custom->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);

  VARIANT held;
  ::VariantInit(&held);
  held.vt = VT_DISPATCH;
  held.pdispVal = writer.get();
  VARIANT argument;
  argument.vt = VT_BYREF | VT_VARIANT;
  argument.pvarVal = &held;
  DISPPARAMS params{&argument, nullptr, 1, 0};
  EXPECT_EQ(custom->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                           nullptr, nullptr),
            S_OK);
  EXPECT_EQ(held.vt, VT_DISPATCH);
  EXPECT_EQ(held.pdispVal, writer.get());
}

TEST(CustomComponent, ScriptHandsItsWriterToInit) {
  const hg::test::ScriptRun run = hg::test::RunScript(L"custom_test.vbs");
  EXPECT_EQ(hg::test::LastLine(run.output), "PASS") << run.output;
}

}  // namespace
