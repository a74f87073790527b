// CRegistry: the library's registry class as a COM class.
#include "shared/registry/registry_win.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "shared/com/dispatch_win.h"
#include "shared/com/startup_win.h"
#include "shared/containers/collection_win.h"
#include "shared/registry/registry_access_win.h"
#include "shared/registry/registry_keys.h"
#include "tkShared.h"

namespace tk {

using hg::win::com_ptr;
using hg::win::FromBstr;
using hg::win::Variant;

namespace {

// The language runtime's number for an array without elements, as script writers know it.
constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);

std::uint32_t Root(enRegistryKey key) { return static_cast<std::uint32_t>(key); }

VARIANT_BOOL Bool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// The variant an [in, out] parameter writes to: the caller's own variable
// behind any by-reference variants.
VARIANT& OutSlot(VARIANT* parameter) {
  VARIANT* slot = Checked(parameter);
  while (slot->vt == (VT_BYREF | VT_VARIANT) && slot->pvarVal) slot = slot->pvarVal;
  return *slot;
}

void PutText(VARIANT* parameter, const std::string& text) {
  VARIANT& slot = OutSlot(parameter);
  hg::win::unique_bstr value = hg::win::MakeBstr(text);
  if (slot.vt == (VT_BYREF | VT_BSTR) && slot.pbstrVal) {
    ::SysFreeString(*slot.pbstrVal);
    *slot.pbstrVal = value.release();
    return;
  }
  ::VariantClear(&slot);
  slot.vt = VT_BSTR;
  slot.bstrVal = value.release();
}

void PutLong(VARIANT* parameter, std::uint32_t number) {
  VARIANT& slot = OutSlot(parameter);
  const LONG value = static_cast<LONG>(number);
  if (slot.vt == (VT_BYREF | VT_I4) && slot.plVal) {
    *slot.plVal = value;
    return;
  }
  ::VariantClear(&slot);
  slot.vt = VT_I4;
  slot.lVal = value;
}

void PutObject(VARIANT* parameter, IDispatch* object) {
  VARIANT& slot = OutSlot(parameter);
  object->AddRef();
  if (slot.vt == (VT_BYREF | VT_DISPATCH) && slot.ppdispVal) {
    if (*slot.ppdispVal) (*slot.ppdispVal)->Release();
    *slot.ppdispVal = object;
    return;
  }
  ::VariantClear(&slot);
  slot.vt = VT_DISPATCH;
  slot.pdispVal = object;
}

std::string TextOf(const VARIANT& value) {
  const VARIANT& inner = hg::win::Deref(value);
  if (inner.vt == VT_BSTR) return FromBstr(inner.bstrVal);
  if (inner.vt == (VT_BYREF | VT_BSTR)) return FromBstr(inner.pbstrVal ? *inner.pbstrVal : nullptr);
  Variant text;
  THROW_IF_FAILED(::VariantChangeType(text.put(), const_cast<VARIANT*>(&inner), 0, VT_BSTR));
  return FromBstr(text.get().bstrVal);
}

// The one-dimensional array a byte parameter holds: bytes, or variants as
// script languages make them. A value that is no array is refused.
SAFEARRAY* ArrayOf(const VARIANT& value) {
  const VARIANT& inner = hg::win::Deref(value);
  const VARTYPE element = static_cast<VARTYPE>(inner.vt & ~(VT_ARRAY | VT_BYREF));
  if (!(inner.vt & VT_ARRAY) || (element != VT_UI1 && element != VT_VARIANT)) {
    hg::win::ThrowHResult(E_INVALIDARG, "Value must be an array of bytes.");
  }
  SAFEARRAY* array = (inner.vt & VT_BYREF) ? (inner.pparray ? *inner.pparray : nullptr) : inner.parray;
  if (!array) hg::win::ThrowHResult(kSubscriptOutOfRange, "The byte array has no elements allocated.");
  if (::SafeArrayGetDim(array) != 1) hg::win::ThrowHResult(E_INVALIDARG, "Value must be a one-dimensional array.");
  return array;
}

VARTYPE ElementType(SAFEARRAY* array) {
  VARTYPE type = VT_EMPTY;
  THROW_IF_FAILED(::SafeArrayGetVartype(array, &type));
  return type;
}

std::vector<std::uint8_t> BytesOf(SAFEARRAY* array) {
  std::vector<std::uint8_t> bytes(array->rgsabound[0].cElements);
  // Asked before the data are taken: a throw between the two would leave the caller's array locked.
  const bool asBytes = ElementType(array) == VT_UI1;
  void* data = nullptr;
  THROW_IF_FAILED(::SafeArrayAccessData(array, &data));
  HRESULT hr = S_OK;
  if (asBytes) {
    std::copy_n(static_cast<const std::uint8_t*>(data), bytes.size(), bytes.begin());
  } else {
    const auto* items = static_cast<const VARIANT*>(data);
    for (std::size_t i = 0; i < bytes.size() && SUCCEEDED(hr); ++i) {
      Variant byte;
      hr = ::VariantChangeType(byte.put(), const_cast<VARIANT*>(&items[i]), 0, VT_UI1);
      if (SUCCEEDED(hr)) bytes[i] = byte.get().bVal;
    }
  }
  ::SafeArrayUnaccessData(array);
  THROW_IF_FAILED(hr);
  return bytes;
}

// Writes bytes into the array from its lower bound; variant arrays get bytes as elements.
void StoreBytes(SAFEARRAY* array, const std::vector<std::uint8_t>& bytes) {
  const bool asBytes = ElementType(array) == VT_UI1;
  void* data = nullptr;
  THROW_IF_FAILED(::SafeArrayAccessData(array, &data));
  if (asBytes) {
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(data));
  } else {
    auto* items = static_cast<VARIANT*>(data);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      ::VariantClear(&items[i]);
      items[i].vt = VT_UI1;
      items[i].bVal = bytes[i];
    }
  }
  ::SafeArrayUnaccessData(array);
}

com_ptr<_CCollection> NewCollection() {
  com_ptr<_CCollection> collection;
  THROW_IF_FAILED(CreateCollection(IID__CCollection, collection.put_void()));
  return collection;
}

void AddText(_CCollection* collection, const std::string& text, bool keyed) {
  Variant item;
  VARIANT* slot = item.put();
  slot->vt = VT_BSTR;
  slot->bstrVal = hg::win::MakeBstr(text).release();
  const VARIANT missing = hg::win::MissingArgument();
  THROW_IF_FAILED(collection->Add(item.get(), keyed ? item.get() : missing, missing, missing));
}

com_ptr<_CCollection> CollectionOf(const std::vector<std::string>& texts, bool keyed) {
  com_ptr<_CCollection> collection = NewCollection();
  for (const std::string& text : texts) AddText(collection.get(), text, keyed);
  return collection;
}

class Registry final : public DispatchObject<Registry, _CRegistry> {
 public:
  static constexpr wchar_t kClassName[] = L"CRegistry";

  Registry() : access_(StartLibrary()) {}

  STDMETHODIMP GetKeyName(enRegistryKey key, BSTR* name) override {
    return Trap([&] { *Checked(name) = hg::win::MakeBstr(registry::GetKeyName(Root(key))).release(); });
  }

  STDMETHODIMP QuerySTRING(enRegistryKey key, BSTR subKey, BSTR valueName, VARIANT* value,
                           VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      std::string text;
      const bool found = access_.QueryString(Root(key), FromBstr(subKey), FromBstr(valueName), text);
      PutText(value, text);
      *result = Bool(found);
    });
  }

  STDMETHODIMP QueryDWORD(enRegistryKey key, BSTR subKey, BSTR valueName, VARIANT* value,
                          VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      OutSlot(value);
      std::uint32_t number = 0;
      const bool found = access_.QueryDword(Root(key), FromBstr(subKey), FromBstr(valueName), number);
      if (found) PutLong(value, number);
      *result = Bool(found);
    });
  }

  STDMETHODIMP QueryBINARY(enRegistryKey key, BSTR subKey, BSTR valueName, VARIANT* value,
                           VARIANT* length, VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      OutSlot(length);
      SAFEARRAY* array = ArrayOf(OutSlot(value));
      std::vector<std::uint8_t> buffer(array->rgsabound[0].cElements);
      std::uint32_t size = 0;
      const bool found =
          access_.QueryBinary(Root(key), FromBstr(subKey), FromBstr(valueName), buffer, size);
      if (found) {
        buffer.resize(size);
        StoreBytes(array, buffer);
      }
      PutLong(length, size);
      *result = Bool(found);
    });
  }

  STDMETHODIMP SetSTRING(enRegistryKey key, BSTR subKey, BSTR valueName, BSTR value,
                         VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) =
          Bool(access_.SetString(Root(key), FromBstr(subKey), FromBstr(valueName), FromBstr(value)));
    });
  }

  STDMETHODIMP SetDWORD(enRegistryKey key, BSTR subKey, BSTR valueName, LONG value,
                        VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) = Bool(access_.SetDword(Root(key), FromBstr(subKey), FromBstr(valueName),
                                               static_cast<std::uint32_t>(value)));
    });
  }

  STDMETHODIMP SetBINARY(enRegistryKey key, BSTR subKey, BSTR valueName, VARIANT value,
                         LONG length, VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      const std::vector<std::uint8_t> bytes = BytesOf(ArrayOf(value));
      if (length < 0 || static_cast<std::size_t>(length) > bytes.size()) {
        hg::win::ThrowHResult(E_INVALIDARG, "Length exceeds the size of the byte array.");
      }
      *result = Bool(access_.SetBinary(Root(key), FromBstr(subKey), FromBstr(valueName),
                                       std::span(bytes.data(), static_cast<std::size_t>(length))));
    });
  }

  STDMETHODIMP DeleteValue(enRegistryKey key, BSTR subKey, BSTR value, VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) = Bool(access_.DeleteValue(Root(key), FromBstr(subKey), FromBstr(value)));
    });
  }

  STDMETHODIMP DeleteKey(enRegistryKey key, BSTR subKey, VARIANT_BOOL* result) override {
    return Trap([&] {
      std::string ignored;
      *Checked(result) = Bool(access_.DeleteKeyEx(Root(key), FromBstr(subKey), ignored));
    });
  }

  STDMETHODIMP DeleteKeyEx(enRegistryKey key, BSTR subKey, VARIANT* falseCause,
                           VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      OutSlot(falseCause);
      std::string cause;
      const bool deleted = access_.DeleteKeyEx(Root(key), FromBstr(subKey), cause);
      PutText(falseCause, cause);
      *result = Bool(deleted);
    });
  }

  STDMETHODIMP EnumKey(enRegistryKey key, BSTR subKey, _CCollection** result) override {
    return Trap([&] {
      Checked(result);
      *result = CollectionOf(access_.EnumKey(Root(key), FromBstr(subKey)), true).detach();
    });
  }

  STDMETHODIMP IsKeyExist(enRegistryKey key, BSTR subKey, VARIANT_BOOL* result) override {
    return Trap([&] { *Checked(result) = Bool(access_.IsKeyExist(Root(key), FromBstr(subKey))); });
  }

  STDMETHODIMP EnumValuesEx(enRegistryKey key, BSTR subKey, VARIANT* result, VARIANT* falseCause,
                            VARIANT_BOOL* success) override {
    return Trap([&] {
      Checked(success);
      OutSlot(result);
      OutSlot(falseCause);
      std::vector<std::string> names;
      std::string cause;
      const bool listed = access_.EnumValuesEx(Root(key), FromBstr(subKey), names, cause);
      PutObject(result, CollectionOf(names, false).get());
      PutText(falseCause, cause);
      *success = Bool(listed);
    });
  }

  STDMETHODIMP EnumValues(enRegistryKey key, BSTR subKey, _CCollection** result) override {
    return Trap([&] {
      Checked(result);
      std::vector<std::string> names;
      std::string ignored;
      if (!access_.EnumValuesEx(Root(key), FromBstr(subKey), names, ignored)) names.clear();
      *result = CollectionOf(names, false).detach();
    });
  }

  STDMETHODIMP SaveAsReg50(enRegistryKey key, VARIANT* subKey, BSTR* text) override {
    return Trap([&] {
      Checked(text);
      std::string path = TextOf(OutSlot(subKey));
      const std::string exported = access_.SaveAsReg50(Root(key), path);
      PutText(subKey, path);
      *text = hg::win::MakeBstr(exported).release();
    });
  }

  STDMETHODIMP CopySubKey(enRegistryKey key, BSTR subKey, enRegistryKey toKey, BSTR putToSubKey,
                          VARIANT* falseCause, VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      OutSlot(falseCause);
      std::string cause;
      const bool copied =
          access_.CopySubKey(Root(key), FromBstr(subKey), Root(toKey), FromBstr(putToSubKey), cause);
      PutText(falseCause, cause);
      *result = Bool(copied);
    });
  }

  STDMETHODIMP CopySingleValue(enRegistryKey key, BSTR subKey, BSTR valueName, enRegistryKey toKey,
                               BSTR toSubKey, VARIANT* falseCause, VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      OutSlot(falseCause);
      std::string cause;
      const bool copied = access_.CopySingleValue(Root(key), FromBstr(subKey), FromBstr(valueName),
                                                  Root(toKey), FromBstr(toSubKey), cause);
      PutText(falseCause, cause);
      *result = Bool(copied);
    });
  }

  STDMETHODIMP SaveSingleValueAsReg50(enRegistryKey key, BSTR subKey, BSTR valueName,
                                      BSTR* text) override {
    return Trap([&] {
      Checked(text);
      *text = hg::win::MakeBstr(
                  access_.SaveSingleValueAsReg50(Root(key), FromBstr(subKey), FromBstr(valueName)))
                  .release();
    });
  }

  STDMETHODIMP EnumClassesOfCategory(BSTR catId, VARIANT_BOOL include32bitComponents,
                                     VARIANT_BOOL include64bitComponents,
                                     _CCollection** result) override {
    return Trap([&] {
      Checked(result);
      com_ptr<_CCollection> classes = NewCollection();
      for (const auto& found : access_.EnumClassesOfCategory(
               FromBstr(catId), include32bitComponents != VARIANT_FALSE,
               include64bitComponents != VARIANT_FALSE)) {
        AddText(classes.get(), found.clsid, found.keyed);
      }
      *result = classes.detach();
    });
  }

 private:
  RegistryAccess access_;
};

}  // namespace

HRESULT CreateRegistry(REFIID iid, void** object) noexcept {
  return CreateInstance<Registry>(iid, object);
}

}  // namespace tk
