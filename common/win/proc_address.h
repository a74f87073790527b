// A typed GetProcAddress.
#pragma once

#include <windows.h>

namespace hg::win {

// Null when the module has no such export.
template <typename Function>
Function GetProc(HMODULE module, const char* name) noexcept {
  // Through void(*)(), the one cast GCC accepts between function types.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace hg::win
