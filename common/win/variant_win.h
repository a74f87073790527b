// Automation values at the COM edge, once for every class: guarded access to a
// SAFEARRAY's data, bytes and arrays of variants in and out, text and Boolean
// values, and the [in, out] variants a method writes its results to.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/unique_any.h"

namespace hg::win {

// Holds an array's data locked while it lives: a throw between lock and
// unlock cannot leave the caller's array locked for good.
class ArrayAccess {
 public:
  explicit ArrayAccess(SAFEARRAY* array);  // throws HResultError
  ~ArrayAccess();
  ArrayAccess(const ArrayAccess&) = delete;
  ArrayAccess& operator=(const ArrayAccess&) = delete;

  template <typename T>
  T* data() const noexcept {
    return static_cast<T*>(data_);
  }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

// Whether a value holds an array, directly or by reference.
bool HoldsArray(const VARIANT& value) noexcept;

// The array a value holds (behind any by-reference variants), directly or by
// reference; null for an unallocated array or a value that holds none.
SAFEARRAY* ArrayOf(const VARIANT& value) noexcept;

// The element type of an array (VT_EMPTY when it cannot be told).
VARTYPE ElementTypeOf(SAFEARRAY* array) noexcept;

// The bounds of one dimension; an unallocated array has none (0 elements).
struct ArrayBounds {
  LONG lower = 0;
  LONG upper = -1;
  std::size_t count() const noexcept {
    return upper < lower ? 0 : static_cast<std::size_t>(std::int64_t{upper} - lower + 1);
  }
};
ArrayBounds BoundsOf(SAFEARRAY* array, UINT dimension = 1);  // throws HResultError

// The bytes of a one-dimensional array of bytes (VT_UI1, VT_I1) or of
// variants, each converted as a client's language converts to a byte; an
// unallocated array has none. Other arrays are refused with
// DISP_E_TYPEMISMATCH.
std::string BytesOf(SAFEARRAY* array);

// A new one-dimensional array of the element type, `count` elements from
// `lower`; throws E_OUTOFMEMORY.
unique_safearray NewVector(VARTYPE type, std::size_t count, LONG lower);

// A new byte array holding the bytes, indexed from `lower`.
unique_safearray ByteArray(std::span<const std::uint8_t> bytes, LONG lower);
unique_safearray ByteArray(std::string_view bytes, LONG lower);

// Copies of the elements of a one-dimensional array of any automation type
// but records, each as a variant of its own type (variant elements behind any
// reference); an unallocated array has none.
std::vector<Variant> VariantsOf(SAFEARRAY* array);

// A new array of variants holding copies of the values, indexed from `lower`.
unique_safearray VariantArray(std::span<const Variant> values, LONG lower);

// A variant that owns a new BSTR of the text; one that only lends a BSTR the
// caller keeps alive (an [in] argument).
Variant TextVariant(std::string_view utf8);
VARIANT BorrowedText(BSTR text) noexcept;

// An array held by a variant that lends it (an [in] argument).
VARIANT BorrowedArray(SAFEARRAY* array) noexcept;

// The text a value converts to as a client's language converts it (flags as
// VariantChangeType takes them), behind any by-reference variants.
std::string TextOf(const VARIANT& value, USHORT flags = 0);

inline VARIANT_BOOL VariantBool(bool value) noexcept { return value ? VARIANT_TRUE : VARIANT_FALSE; }
// Every value but VARIANT_FALSE is true, as clients' languages read it.
inline bool IsTrue(VARIANT_BOOL value) noexcept { return value != VARIANT_FALSE; }
// A value converted to a Boolean as a client's language converts it.
bool BooleanOf(const VARIANT& value);

// The caller's own variable behind an [in, out] variant: null stays null, and
// by-reference variants are followed.
VARIANT* OutTarget(VARIANT* parameter) noexcept;

// Writes a result into an [in, out] variant's target: through a reference of
// the same type (a typed script variable), or as a new value of the variant.
void PutText(VARIANT& target, std::string_view utf8);
void PutBool(VARIANT& target, bool value);
void PutLong(VARIANT& target, LONG value);

}  // namespace hg::win
