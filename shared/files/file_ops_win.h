// FileOps: the library's file and folder class as a COM class.
#pragma once

#include <windows.h>

namespace tk {

HRESULT CreateFileOps(REFIID iid, void** object) noexcept;

}  // namespace tk
