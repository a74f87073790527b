// CGlobal: the library's text encoders and system information as a COM class.
#pragma once

#include <windows.h>

namespace tk {

HRESULT CreateGlobal(REFIID iid, void** object) noexcept;

}  // namespace tk
