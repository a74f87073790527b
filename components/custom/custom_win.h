// HGRWCustom's classes: CCustom2, which the program hands its log writer, and
// CProbe, which proves that the component is installed.
#pragma once

#include <windows.h>

namespace hgrw {

HRESULT CreateCustom2(REFIID iid, void** object) noexcept;
HRESULT CreateProbe(REFIID iid, void** object) noexcept;

}  // namespace hgrw
