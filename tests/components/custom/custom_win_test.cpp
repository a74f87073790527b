#include <gtest/gtest.h>

#include "tests/support/win_test_support.h"

namespace {

// As the program calls it: late-bound by name, the writer in a variant by
// reference, left as it is. The program itself creates the probe by its class
// identifier at every start.
TEST(CustomComponent, ScriptHandsItsWriterToInit) { hg::test::ExpectScriptPasses(L"custom_test.vbs"); }

}  // namespace
