// CGumArray: the library's two-dimensional table as a COM class.
#pragma once

#include <windows.h>

namespace tk {

HRESULT CreateGumArray(REFIID iid, void** object) noexcept;

}  // namespace tk
