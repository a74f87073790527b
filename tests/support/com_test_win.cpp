// Helpers for the tests that call the library through COM.
#include "tests/support/com_test_win.h"

#include "common/win/variant_win.h"

namespace hg::test {

hg::win::Variant Text(std::wstring_view text) {
  hg::win::Variant value;
  VARIANT* slot = value.put();
  slot->bstrVal = hg::win::MakeBstr(text).release();
  slot->vt = VT_BSTR;
  return value;
}

hg::win::Variant Long(LONG number) {
  hg::win::Variant value;
  VARIANT* slot = value.put();
  slot->vt = VT_I4;
  slot->lVal = number;
  return value;
}

hg::win::Variant Object(IUnknown* object) {
  hg::win::Variant value;
  VARIANT* slot = value.put();
  slot->vt = VT_UNKNOWN;
  slot->punkVal = object;
  if (object) object->AddRef();
  return value;
}

std::wstring TextOf(const VARIANT& value) {
  const VARIANT& v = hg::win::Deref(value);
  if (v.vt != VT_BSTR) return L"<not text>";
  return v.bstrVal ? std::wstring(v.bstrVal, ::SysStringLen(v.bstrVal)) : std::wstring();
}

std::vector<hg::win::Variant> ElementsOf(const VARIANT& value) {
  return hg::win::VariantsOf(hg::win::ArrayOf(value));
}

}  // namespace hg::test
