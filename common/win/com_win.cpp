// Automation values and interface pointers with owners: Variant and com_ptr.
#include "common/win/com_win.h"

#include "common/win/result.h"

namespace hg::win {

Variant Variant::CopyOf(const VARIANT& source) {
  Variant copy;
  THROW_IF_FAILED(::VariantCopyInd(copy.put(), const_cast<VARIANT*>(&source)));
  return copy;
}

const VARIANT& Deref(const VARIANT& value) noexcept {
  const VARIANT* current = &value;
  while (current->vt == (VT_BYREF | VT_VARIANT) && current->pvarVal) current = current->pvarVal;
  return *current;
}

bool IsMissing(const VARIANT& value) noexcept {
  const VARIANT& v = Deref(value);
  return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

}  // namespace hg::win
