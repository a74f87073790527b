// CRegistry: the library's registry class as a COM class.
#pragma once

#include <windows.h>

namespace tk {

HRESULT CreateRegistry(REFIID iid, void** object) noexcept;

}  // namespace tk
