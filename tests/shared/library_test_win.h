// What the library's tests under Wine share: its classes' header and the COM
// test helpers (values, objects, a client's event sink).
#pragma once

#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"
