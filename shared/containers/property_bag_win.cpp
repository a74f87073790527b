// PropertyBag: the library's property bag as a COM class, and the conversions
// between automation values and the bag's own values.
#include "shared/containers/property_bag_win.h"

#include <cstring>
#include <optional>
#include <string>

#include "common/win/text_win.h"
#include "common/win/variant_win.h"
#include "shared/com/dispatch_win.h"
#include "shared/com/simple_object_win.h"
#include "shared/containers/persist_win.h"
#include "tkShared.h"

namespace tk {

using hg::win::com_ptr;
using hg::win::Variant;

namespace {

constexpr HRESULT kInvalidData = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);

[[noreturn]] void ThrowBagError(const BagFormatError& error) {
  hg::win::ThrowHResult(kInvalidData, error.what());
}

std::string NameFrom(LPCOLESTR name) {
  if (!name) hg::win::ThrowHResult(E_POINTER);
  return hg::win::Narrow(name);
}

// The IPropertyBag side of a property list: the standard Read (absent names
// give E_INVALIDARG; a requested type is converted to) and Write (objects
// nest one level deeper than this bag).
void ReadInto(const PropertyList& list, LPCOLESTR name, VARIANT* result) {
  if (!result) hg::win::ThrowHResult(E_POINTER);
  const Value* stored = list.Find(NameFrom(name));
  if (!stored) hg::win::ThrowHResult(E_INVALIDARG, "The property bag holds no such property.");
  // A copy: restoring an object runs its code, which may rewrite this bag.
  Variant value = FromBagValue(Value(*stored));
  const VARTYPE wanted = result->vt;
  if (wanted != VT_EMPTY && wanted != value.type()) {
    Variant converted;
    THROW_IF_FAILED(
        ::VariantChangeType(converted.put(), const_cast<VARIANT*>(&value.get()), 0, wanted));
    value = std::move(converted);
  }
  value.Detach(result);
}

void WriteFrom(PropertyList& list, LPCOLESTR name, const VARIANT* value, int depth) {
  if (!value) hg::win::ThrowHResult(E_POINTER);
  std::string key = NameFrom(name);
  list.Set(std::move(key), ToBagValue(*value, depth));
}

// The bag handed to a nested object while it saves or loads itself. It keeps
// the object's record alive, so a bag the object holds on to stays valid. A
// bag for loading is read-only: the record belongs to the bag it came from.
class NestedBag final : public SimpleObject<IPropertyBag> {
 public:
  explicit NestedBag(std::shared_ptr<const PersistedObject> source)
      : source_(std::move(source)), target_(nullptr), depth_(kMaxNesting) {}
  NestedBag(std::shared_ptr<PersistedObject> target, int depth)
      : source_(target), target_(std::move(target)), depth_(depth) {}

  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    return Trap([&] { ReadInto(source_->properties, name, value); });
  }
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
    return Trap([&] {
      if (!target_) hg::win::ThrowHResult(STG_E_ACCESSDENIED, "A stored object is read-only.");
      WriteFrom(target_->properties, name, value, depth_);
    });
  }

 private:
  template <typename F>
  HRESULT Trap(F&& body) {
    return TrapFailures(L"PropertyBag", IID_IPropertyBag, std::forward<F>(body));
  }

  std::shared_ptr<const PersistedObject> source_;
  std::shared_ptr<PersistedObject> target_;
  int depth_;
};


ClassId ClassIdFrom(const CLSID& id) {
  ClassId result{id.Data1, id.Data2, id.Data3, {}};
  std::memcpy(result.data4.data(), id.Data4, sizeof(id.Data4));
  return result;
}

CLSID ClsidFrom(const ClassId& id) {
  CLSID result{id.data1, id.data2, id.data3, {}};
  std::memcpy(result.Data4, id.data4.data(), sizeof(result.Data4));
  return result;
}

Value SaveObject(IUnknown* object, int depth) {
  if (depth + 1 > kMaxNesting) {
    hg::win::ThrowHResult(E_INVALIDARG,
                          "Objects nest more than " + std::to_string(kMaxNesting) +
                              " levels deep, or an object holds itself; it cannot be saved.");
  }
  com_ptr<IPersistPropertyBag> persist;
  if (FAILED(object->QueryInterface(IID_IPersistPropertyBag, persist.put_void()))) {
    hg::win::ThrowHResult(E_NOINTERFACE,
                          "The object cannot be saved in a property bag: it does not support "
                          "IPersistPropertyBag.");
  }
  CLSID id;
  CallNested([&] { return persist->GetClassID(&id); });
  auto record = std::make_shared<PersistedObject>();
  record->classId = ClassIdFrom(id);
  const auto bag = com_ptr<IPropertyBag>::Attach(new NestedBag(record, depth + 1));
  CallNested([&] { return persist->Save(bag.get(), TRUE, TRUE); });
  return Value::Object(std::move(record));
}

Variant RestoreObject(const std::shared_ptr<const PersistedObject>& record) {
  com_ptr<IPersistPropertyBag> persist;
  const HRESULT created = ::CoCreateInstance(ClsidFrom(record->classId), nullptr,
                                             CLSCTX_INPROC_SERVER, IID_IPersistPropertyBag,
                                             persist.put_void());
  if (FAILED(created)) {
    hg::win::ThrowHResult(created, "A stored object cannot be created again: its class is not "
                                   "registered or does not support IPersistPropertyBag.");
  }
  const auto bag = com_ptr<IPropertyBag>::Attach(new NestedBag(record));
  CallNested([&] { return persist->Load(bag.get(), nullptr); });
  Variant result;
  VARIANT* out = result.put();
  com_ptr<IDispatch> dispatch = persist.query<IDispatch>(IID_IDispatch);
  if (dispatch) {
    out->vt = VT_DISPATCH;
    out->pdispVal = dispatch.detach();
  } else {
    out->vt = VT_UNKNOWN;
    out->punkVal = persist.detach();
  }
  return result;
}

// The dimensions of an array, first dimension first, and its element count.
std::vector<Bound> BoundsOf(SAFEARRAY* array) {
  const UINT dimensions = ::SafeArrayGetDim(array);
  if (dimensions == 0 || dimensions > kMaxDimensions) {
    hg::win::ThrowHResult(DISP_E_BADVARTYPE, "An array without dimensions, or with more than " +
                                                 std::to_string(kMaxDimensions) +
                                                 ", cannot be kept in a property bag.");
  }
  std::vector<Bound> bounds;
  for (UINT d = 1; d <= dimensions; ++d) {
    LONG lower = 0, upper = 0;
    THROW_IF_FAILED(::SafeArrayGetLBound(array, d, &lower));
    THROW_IF_FAILED(::SafeArrayGetUBound(array, d, &upper));
    bounds.push_back(Bound{lower, static_cast<std::uint32_t>(std::int64_t{upper} - lower + 1)});
  }
  return bounds;
}

// Runs visit(data, count) on an array's elements in storage order.
template <typename T, typename F>
void WithElements(SAFEARRAY* array, std::size_t count, F&& visit) {
  if (::SafeArrayGetElemsize(array) != sizeof(T)) hg::win::ThrowHResult(DISP_E_BADVARTYPE);
  const hg::win::ArrayAccess access(array);
  visit(access.data<T>(), count);
}

std::size_t CountOf(const std::vector<Bound>& bounds) {
  try {
    return static_cast<std::size_t>(ElementCount(bounds, UINT32_MAX));
  } catch (const BagFormatError& e) {
    ThrowBagError(e);
  }
}

hg::win::unique_safearray NewArray(VARTYPE type, const std::vector<Bound>& bounds) {
  std::vector<SAFEARRAYBOUND> dims;
  for (const Bound& b : bounds) dims.push_back(SAFEARRAYBOUND{b.count, b.lower});
  hg::win::unique_safearray array(
      ::SafeArrayCreate(type, static_cast<UINT>(dims.size()), dims.data()));
  if (!array) hg::win::ThrowHResult(E_OUTOFMEMORY);
  return array;
}

Variant ArrayVariant(VARTYPE type, hg::win::unique_safearray array) {
  Variant result;
  VARIANT* out = result.put();
  out->vt = static_cast<VARTYPE>(VT_ARRAY | type);
  out->parray = array.release();
  return result;
}

}  // namespace

Value ToBagValue(const VARIANT& value, int depth) {
  const Variant local = Variant::CopyOf(value);  // follows any by-reference value
  const VARIANT& v = local.get();
  switch (v.vt) {
    case VT_EMPTY:
      return Value::Empty();
    case VT_NULL:
      return Value::Null();
    case VT_BOOL:
      return Value::Boolean(hg::win::IsTrue(v.boolVal));
    case VT_I1:
      return Value::Signed(ValueKind::Int8, v.cVal);
    case VT_I2:
      return Value::Signed(ValueKind::Int16, v.iVal);
    case VT_I4:
      return Value::Signed(ValueKind::Int32, v.lVal);
    case VT_I8:
      return Value::Signed(ValueKind::Int64, v.llVal);
    case VT_INT:
      return Value::Signed(ValueKind::Int, v.intVal);
    case VT_CY:
      return Value::Signed(ValueKind::Currency, v.cyVal.int64);
    case VT_UI1:
      return Value::Unsigned(ValueKind::UInt8, v.bVal);
    case VT_UI2:
      return Value::Unsigned(ValueKind::UInt16, v.uiVal);
    case VT_UI4:
      return Value::Unsigned(ValueKind::UInt32, v.ulVal);
    case VT_UI8:
      return Value::Unsigned(ValueKind::UInt64, v.ullVal);
    case VT_UINT:
      return Value::Unsigned(ValueKind::UInt, v.uintVal);
    case VT_R4:
      return Value::Single(v.fltVal);
    case VT_R8:
      return Value::Real(ValueKind::Double, v.dblVal);
    case VT_DATE:
      return Value::Real(ValueKind::Date, v.date);
    case VT_DECIMAL:
      return Value::Dec(Decimal{v.decVal.scale, v.decVal.sign, v.decVal.Hi32, v.decVal.Lo64});
    case VT_BSTR:
      return Value::Text(hg::win::FromBstr(v.bstrVal));
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return v.punkVal ? SaveObject(v.punkVal, depth) : Value::NoObject();
    case VT_ARRAY | VT_UI1: {
      ByteArray bytes;
      bytes.bounds = BoundsOf(v.parray);
      WithElements<std::uint8_t>(v.parray, CountOf(bytes.bounds),
                                 [&](const std::uint8_t* data, std::size_t count) {
                                   bytes.bytes.assign(data, data + count);
                                 });
      return Value::Bytes(std::move(bytes));
    }
    case VT_ARRAY | VT_VARIANT: {
      if (depth + 1 > kMaxNesting) {
        hg::win::ThrowHResult(E_INVALIDARG, "Arrays nest more than " +
                                                std::to_string(kMaxNesting) + " levels deep.");
      }
      VariantArray array;
      array.bounds = BoundsOf(v.parray);
      WithElements<VARIANT>(v.parray, CountOf(array.bounds),
                            [&](const VARIANT* data, std::size_t count) {
                              array.elements.reserve(count);
                              for (std::size_t i = 0; i < count; ++i) {
                                array.elements.push_back(ToBagValue(data[i], depth + 1));
                              }
                            });
      return Value::Array(std::move(array));
    }
    default:
      hg::win::ThrowHResult(DISP_E_BADVARTYPE,
                            "A value of automation type " + std::to_string(v.vt) +
                                " cannot be kept in a property bag.");
  }
}

Variant FromBagValue(const Value& value) {
  Variant result;
  VARIANT* out = result.put();
  const ValueKind kind = value.kind();
  switch (kind) {
    case ValueKind::Empty:
    case ValueKind::Null:
      break;
    case ValueKind::Boolean:
      out->boolVal = hg::win::VariantBool(value.AsBoolean());
      break;
    case ValueKind::Int8:
      out->cVal = static_cast<CHAR>(value.AsSigned());
      break;
    case ValueKind::Int16:
      out->iVal = static_cast<SHORT>(value.AsSigned());
      break;
    case ValueKind::Int32:
      out->lVal = static_cast<LONG>(value.AsSigned());
      break;
    case ValueKind::Int64:
      out->llVal = value.AsSigned();
      break;
    case ValueKind::Int:
      out->intVal = static_cast<INT>(value.AsSigned());
      break;
    case ValueKind::Currency:
      out->cyVal.int64 = value.AsSigned();
      break;
    case ValueKind::UInt8:
      out->bVal = static_cast<BYTE>(value.AsUnsigned());
      break;
    case ValueKind::UInt16:
      out->uiVal = static_cast<USHORT>(value.AsUnsigned());
      break;
    case ValueKind::UInt32:
      out->ulVal = static_cast<ULONG>(value.AsUnsigned());
      break;
    case ValueKind::UInt64:
      out->ullVal = value.AsUnsigned();
      break;
    case ValueKind::UInt:
      out->uintVal = static_cast<UINT>(value.AsUnsigned());
      break;
    case ValueKind::Single:
      out->fltVal = value.AsSingle();
      break;
    case ValueKind::Double:
      out->dblVal = value.AsReal();
      break;
    case ValueKind::Date:
      out->date = value.AsReal();
      break;
    case ValueKind::Decimal: {
      const Decimal& d = value.AsDecimal();
      out->decVal.scale = d.scale;
      out->decVal.sign = d.sign;
      out->decVal.Hi32 = d.high;
      out->decVal.Lo64 = d.low;
      break;
    }
    case ValueKind::Text:
      out->bstrVal = hg::win::MakeBstr(value.AsText()).release();
      break;
    case ValueKind::Object:
      if (const auto record = value.SharedObject()) return RestoreObject(record);
      out->pdispVal = nullptr;
      break;
    case ValueKind::ByteArray: {
      const ByteArray& bytes = value.AsBytes();
      auto array = NewArray(VT_UI1, bytes.bounds);
      WithElements<std::uint8_t>(array.get(), bytes.bytes.size(),
                                 [&](std::uint8_t* data, std::size_t count) {
                                   if (count) std::memcpy(data, bytes.bytes.data(), count);
                                 });
      return ArrayVariant(VT_UI1, std::move(array));
    }
    case ValueKind::VariantArray: {
      const VariantArray& source = value.AsArray();
      auto array = NewArray(VT_VARIANT, source.bounds);
      WithElements<VARIANT>(array.get(), source.elements.size(),
                            [&](VARIANT* data, std::size_t count) {
                              for (std::size_t i = 0; i < count; ++i) {
                                FromBagValue(source.elements[i]).Detach(&data[i]);
                              }
                            });
      return ArrayVariant(VT_VARIANT, std::move(array));
    }
  }
  // The bag's kinds carry the automation type tags.
  out->vt = static_cast<VARTYPE>(kind);
  return result;
}

namespace {

class Bag final : public DispatchObject<Bag, _PropertyBag, IPropertyBag> {
 public:
  static constexpr wchar_t kClassName[] = L"PropertyBag";

  STDMETHODIMP WriteProperty(BSTR name, VARIANT value, VARIANT defaultValue) override {
    return Trap([&] {
      const std::optional<Value> byDefault = DefaultFrom(defaultValue);
      list_.Write(hg::win::FromBstr(name), ToBagValue(value, 0),
                  byDefault ? &*byDefault : nullptr);
    });
  }

  STDMETHODIMP ReadProperty(BSTR name, VARIANT defaultValue, VARIANT* result) override {
    return Trap([&] {
      if (!result) hg::win::ThrowHResult(E_POINTER);
      if (const Value* stored = list_.Find(hg::win::FromBstr(name))) {
        // A copy: restoring an object runs its code, which may rewrite this bag.
        FromBagValue(Value(*stored)).Detach(result);
      } else if (hg::win::IsMissing(defaultValue)) {
        ::VariantInit(result);
      } else {
        Variant::CopyOf(defaultValue).Detach(result);
      }
    });
  }

  STDMETHODIMP get_Contents(VARIANT* result) override {
    return Trap([&] {
      if (!result) hg::win::ThrowHResult(E_POINTER);
      std::vector<std::uint8_t> bytes;
      try {
        bytes = Serialize(list_);
      } catch (const BagFormatError& e) {
        ThrowBagError(e);
      }
      ArrayVariant(VT_UI1, hg::win::ByteArray(bytes, 0)).Detach(result);
    });
  }

  STDMETHODIMP put_Contents(VARIANT contents) override {
    return Trap([&] {
      const VARIANT& v = hg::win::Deref(contents);
      SAFEARRAY* array = nullptr;
      if (v.vt == (VT_ARRAY | VT_UI1)) array = v.parray;
      if (v.vt == (VT_BYREF | VT_ARRAY | VT_UI1) && v.pparray) array = *v.pparray;
      if (!array || ::SafeArrayGetDim(array) != 1) {
        hg::win::ThrowHResult(DISP_E_TYPEMISMATCH, "Contents must be a byte array.");
      }
      const std::size_t count = CountOf(BoundsOf(array));
      PropertyList parsed;
      WithElements<std::uint8_t>(array, count, [&](const std::uint8_t* data, std::size_t n) {
        try {
          parsed = Parse({data, n});
        } catch (const BagFormatError& e) {
          ThrowBagError(e);
        }
      });
      list_ = std::move(parsed);
    });
  }

  // IPropertyBag, for objects saved into or restored from this bag.
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    return Trap([&] { ReadInto(list_, name, value); });
  }
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
    return Trap([&] { WriteFrom(list_, name, value, 0); });
  }

 protected:
  void* QueryOther(REFIID iid) noexcept override {
    return iid == IID_IPropertyBag ? static_cast<IPropertyBag*>(this) : nullptr;
  }

 private:
  // A default that is missing, an object, or no storable value never equals
  // what is written, so the value is stored.
  static std::optional<Value> DefaultFrom(const VARIANT& defaultValue) {
    const VARIANT& v = hg::win::Deref(defaultValue);
    if (hg::win::IsMissing(v)) return std::nullopt;
    if ((v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) && v.punkVal) return std::nullopt;
    try {
      return ToBagValue(v, 0);
    } catch (const hg::win::HResultError&) {
      return std::nullopt;
    }
  }

  PropertyList list_;
};

}  // namespace

HRESULT CreatePropertyBag(REFIID iid, void** object) noexcept {
  return CreateInstance<Bag>(iid, object);
}

}  // namespace tk
