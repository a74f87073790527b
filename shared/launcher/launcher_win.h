// CreateThread: hands a value back in an event a moment later, on the
// caller's thread, through its message loop.
#pragma once

#include <windows.h>

namespace tk {

HRESULT CreateLauncher(REFIID iid, void** object) noexcept;

}  // namespace tk
