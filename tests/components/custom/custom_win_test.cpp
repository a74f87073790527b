#include <windows.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include "common/product_ids.h"
#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"

namespace {

CLSID ClassOf(const char* progIdOrClsid) {
  CLSID clsid{};
  EXPECT_EQ(::CLSIDFromString(hg::win::Widen(progIdOrClsid).c_str(), &clsid), S_OK) << progIdOrClsid;
  return clsid;
}

TEST(CustomComponent, CreatableByProgIdAndTheProbeByItsFixedClassId) {
  const hg::test::ComApartment apartment;
  EXPECT_EQ(ClassOf(hg::product::kProbeProgId), ClassOf(hg::product::kProbeClsid));
  for (const char* name : {hg::product::kCustomProgId, hg::product::kProbeClsid}) {
    EXPECT_TRUE(hg::test::Create<IDispatch>(ClassOf(name), IID_IDispatch)) << name;
  }
}

// As the program calls it: late-bound by name, the writer in a variant by
// reference, left as it is.
TEST(CustomComponent, ScriptHandsItsWriterToInit) { hg::test::ExpectScriptPasses(L"custom_test.vbs"); }

}  // namespace
