// Helpers for the tests that call the library through COM: values to pass
// and read back, objects by class.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"
#include "common/win/variant_win.h"

namespace hg::test {

// A text to pass as a BSTR, alive as long as this object.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : value_(hg::win::MakeBstr(std::wstring_view(text))) {}
  operator BSTR() const { return value_.get(); }

 private:
  hg::win::unique_bstr value_;
};

// Values to pass in a call, each owning what it holds (an object: a reference).
hg::win::Variant Text(std::wstring_view text);
hg::win::Variant Long(LONG number);
hg::win::Variant Object(IUnknown* object);
// A byte array and an array of variants, indexed from `lower`.
hg::win::Variant Bytes(std::string_view bytes, LONG lower = 0);
hg::win::Variant Variants(std::vector<hg::win::Variant> values, LONG lower = 0);
// A value by reference to `target`, as a compiled client passes an [in, out]
// argument (a null target: a reference the callee must not follow).
inline VARIANT ByReference(VARTYPE type, void* target) {
  VARIANT reference;
  reference.vt = static_cast<VARTYPE>(VT_BYREF | type);
  reference.byref = target;
  return reference;
}
// The slot of a value for an [in, out] parameter.
inline VARIANT* Ref(const hg::win::Variant& value) { return const_cast<VARIANT*>(&value.get()); }

// The text a value holds (behind any reference); "<not text>" for a value of another type.
std::wstring TextOf(const VARIANT& value);
std::wstring TextOf(BSTR text);
inline std::wstring TextOf(const hg::win::unique_bstr& text) { return TextOf(text.get()); }

// The bytes of a value's byte array.
std::string BytesOf(const VARIANT& value);

// What a method answered through its VARIANT_BOOL out-parameter (the last
// one); the call itself must succeed.
template <typename Call>
bool Flag(Call&& call) {
  VARIANT_BOOL result = VARIANT_FALSE;
  EXPECT_EQ(call(&result), S_OK);
  return result != VARIANT_FALSE;
}

// A new object of the class, asked for iid.
template <typename I>
hg::win::com_ptr<I> Create(REFCLSID clsid, REFIID iid) {
  hg::win::com_ptr<I> object;
  EXPECT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.put_void()),
            S_OK);
  return object;
}

}  // namespace hg::test
