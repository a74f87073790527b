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
  hg::win::PutLong(*value.put(), number);
  return value;
}

namespace {

// A value that owns the array, as an array of `elementType`.
hg::win::Variant Holding(SAFEARRAY* array, VARTYPE elementType = VT_VARIANT) {
  hg::win::Variant value;
  VARIANT* slot = value.put();
  slot->vt = VT_ARRAY | elementType;
  slot->parray = array;
  return value;
}

}  // namespace

hg::win::Variant Bytes(std::string_view bytes, LONG lower) {
  return Holding(hg::win::ByteArray(bytes, lower).release(), VT_UI1);
}

hg::win::Variant Variants(std::vector<hg::win::Variant> values, LONG lower) {
  return Holding(hg::win::VariantArray(values, lower).release());
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
  return v.vt == VT_BSTR ? TextOf(v.bstrVal) : L"<not text>";
}

std::wstring TextOf(BSTR text) { return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring(); }

std::string BytesOf(const VARIANT& value) { return hg::win::BytesOf(hg::win::ArrayOf(value)); }

}  // namespace hg::test
