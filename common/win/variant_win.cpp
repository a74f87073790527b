// Automation values at the COM edge: arrays, texts, Booleans, results.
#include "common/win/variant_win.h"

#include <cstring>

#include "common/win/result.h"
#include "common/win/text_win.h"

namespace hg::win {

ArrayAccess::ArrayAccess(SAFEARRAY* array) : array_(array) {
  THROW_IF_FAILED(::SafeArrayAccessData(array_, &data_));
}

ArrayAccess::~ArrayAccess() { ::SafeArrayUnaccessData(array_); }

bool HoldsArray(const VARIANT& value) noexcept { return (Deref(value).vt & VT_ARRAY) != 0; }

SAFEARRAY* ArrayOf(const VARIANT& value) noexcept {
  const VARIANT& v = Deref(value);
  if (!(v.vt & VT_ARRAY)) return nullptr;
  if (v.vt & VT_BYREF) return v.pparray ? *v.pparray : nullptr;
  return v.parray;
}

VARTYPE ElementTypeOf(SAFEARRAY* array) noexcept {
  VARTYPE type = VT_EMPTY;
  if (!array || FAILED(::SafeArrayGetVartype(array, &type))) return VT_EMPTY;
  return type;
}

ArrayBounds BoundsOf(SAFEARRAY* array, UINT dimension) {
  ArrayBounds bounds;
  if (!array) return bounds;
  THROW_IF_FAILED(::SafeArrayGetLBound(array, dimension, &bounds.lower));
  THROW_IF_FAILED(::SafeArrayGetUBound(array, dimension, &bounds.upper));
  return bounds;
}

std::string BytesOf(SAFEARRAY* array) {
  if (!array) return {};
  const VARTYPE type = ElementTypeOf(array);
  if (::SafeArrayGetDim(array) != 1 || (type != VT_UI1 && type != VT_I1 && type != VT_VARIANT)) {
    ThrowHResult(DISP_E_TYPEMISMATCH, "An array of bytes is required.");
  }
  const std::size_t count = BoundsOf(array).count();
  std::string bytes(count, '\0');
  if (count == 0) return bytes;
  const ArrayAccess access(array);
  if (type != VT_VARIANT) {
    std::memcpy(bytes.data(), access.data<const char>(), count);
    return bytes;
  }
  const VARIANT* items = access.data<const VARIANT>();
  for (std::size_t i = 0; i < count; ++i) {
    Variant byte;
    THROW_IF_FAILED(::VariantChangeType(byte.put(), const_cast<VARIANT*>(&items[i]), 0, VT_UI1));
    bytes[i] = static_cast<char>(byte.get().bVal);
  }
  return bytes;
}

unique_safearray NewVector(VARTYPE type, std::size_t count, LONG lower) {
  // SafeArrayCreate rather than SafeArrayCreateVector: a client may resize
  // what it is given (ReDim Preserve), which a vector's single block refuses.
  SAFEARRAYBOUND bound{static_cast<ULONG>(count), lower};
  unique_safearray array(::SafeArrayCreate(type, 1, &bound));
  if (!array) ThrowHResult(E_OUTOFMEMORY);
  return array;
}

unique_safearray ByteArray(std::span<const std::uint8_t> bytes, LONG lower) {
  unique_safearray array = NewVector(VT_UI1, bytes.size(), lower);
  if (!bytes.empty()) {
    const ArrayAccess access(array.get());
    std::memcpy(access.data<std::uint8_t>(), bytes.data(), bytes.size());
  }
  return array;
}

unique_safearray ByteArray(std::string_view bytes, LONG lower) {
  return ByteArray({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, lower);
}

std::vector<Variant> VariantsOf(SAFEARRAY* array) {
  std::vector<Variant> values;
  if (!array) return values;
  if (::SafeArrayGetDim(array) != 1) {
    ThrowHResult(E_INVALIDARG, "A one-dimensional array is required.");
  }
  const VARTYPE type = ElementTypeOf(array);
  if (type == VT_EMPTY || type == VT_RECORD) {
    ThrowHResult(DISP_E_TYPEMISMATCH, "Unsupported element type.");
  }
  const ArrayBounds bounds = BoundsOf(array);
  values.reserve(bounds.count());
  if (type == VT_VARIANT) {
    if (bounds.count() == 0) return values;
    const ArrayAccess access(array);
    const VARIANT* items = access.data<const VARIANT>();
    for (std::size_t i = 0; i < bounds.count(); ++i) values.push_back(Variant::CopyOf(items[i]));
    return values;
  }
  for (LONG i = bounds.lower; i <= bounds.upper; ++i) {
    Variant element;
    VARIANT* slot = element.put();
    // SafeArrayGetElement copies an element of the array's own type (a BSTR or
    // an interface with a reference of its own) into the value's union.
    if (type == VT_DECIMAL) {
      THROW_IF_FAILED(::SafeArrayGetElement(array, &i, &slot->decVal));
    } else {
      THROW_IF_FAILED(::SafeArrayGetElement(array, &i, &slot->llVal));
    }
    slot->vt = type;
    values.push_back(std::move(element));
  }
  return values;
}

unique_safearray VariantArray(std::span<const Variant> values, LONG lower) {
  unique_safearray array = NewVector(VT_VARIANT, values.size(), lower);
  if (values.empty()) return array;
  const ArrayAccess access(array.get());
  VARIANT* items = access.data<VARIANT>();
  for (std::size_t i = 0; i < values.size(); ++i) {
    THROW_IF_FAILED(::VariantCopy(&items[i], const_cast<VARIANT*>(&values[i].get())));
  }
  return array;
}

Variant TextVariant(std::string_view utf8) {
  unique_bstr text = MakeBstr(utf8);
  Variant value;
  VARIANT* slot = value.put();
  slot->vt = VT_BSTR;
  slot->bstrVal = text.release();
  return value;
}

VARIANT BorrowedText(BSTR text) noexcept {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = text;
  return value;
}

VARIANT BorrowedArray(SAFEARRAY* array) noexcept {
  VARIANT value;
  VARTYPE type = ElementTypeOf(array);
  value.vt = static_cast<VARTYPE>(VT_ARRAY | type);
  value.parray = array;
  return value;
}

std::string TextOf(const VARIANT& value, USHORT flags) {
  const VARIANT& v = Deref(value);
  if (v.vt == VT_BSTR) return FromBstr(v.bstrVal);
  if (v.vt == (VT_BYREF | VT_BSTR)) return FromBstr(v.pbstrVal ? *v.pbstrVal : nullptr);
  Variant text;
  THROW_IF_FAILED(::VariantChangeType(text.put(), const_cast<VARIANT*>(&v), flags, VT_BSTR));
  return FromBstr(text.get().bstrVal);
}

bool BooleanOf(const VARIANT& value) {
  Variant converted;
  THROW_IF_FAILED(
      ::VariantChangeType(converted.put(), const_cast<VARIANT*>(&Deref(value)), 0, VT_BOOL));
  return IsTrue(converted.get().boolVal);
}

VARIANT* OutTarget(VARIANT* parameter) noexcept {
  while (parameter && parameter->vt == (VT_BYREF | VT_VARIANT) && parameter->pvarVal) {
    parameter = parameter->pvarVal;
  }
  return parameter;
}

void PutText(VARIANT& target, std::string_view utf8) {
  unique_bstr text = MakeBstr(utf8);
  if (target.vt == (VT_BYREF | VT_BSTR) && target.pbstrVal) {
    ::SysFreeString(*target.pbstrVal);
    *target.pbstrVal = text.release();
    return;
  }
  ::VariantClear(&target);
  target.vt = VT_BSTR;
  target.bstrVal = text.release();
}

void PutBool(VARIANT& target, bool value) {
  if (target.vt == (VT_BYREF | VT_BOOL) && target.pboolVal) {
    *target.pboolVal = VariantBool(value);
    return;
  }
  ::VariantClear(&target);
  target.vt = VT_BOOL;
  target.boolVal = VariantBool(value);
}

void PutLong(VARIANT& target, LONG value) {
  if (target.vt == (VT_BYREF | VT_I4) && target.plVal) {
    *target.plVal = value;
    return;
  }
  ::VariantClear(&target);
  target.vt = VT_I4;
  target.lVal = value;
}

}  // namespace hg::win
