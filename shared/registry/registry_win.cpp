// CRegistry: the library's registry class as a COM class.
#include "shared/registry/registry_win.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "common/win/variant_win.h"
#include "shared/com/dispatch_win.h"
#include "shared/com/startup_win.h"
#include "shared/containers/collection_win.h"
#include "shared/registry/registry_access_win.h"
#include "shared/registry/registry_keys.h"
#include "tkShared.h"

namespace tk {

using hg::win::com_ptr;
using hg::win::FromBstr;
using hg::win::VariantBool;
using hg::win::Variant;

namespace {

// The language runtime's number for an array without elements, as script writers know it.
constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);

std::uint32_t Root(enRegistryKey key) { return static_cast<std::uint32_t>(key); }

// The variant an [in, out] parameter writes to: the caller's own variable
// behind any by-reference variants.
VARIANT& OutSlot(VARIANT* parameter) { return *hg::win::OutTarget(Checked(parameter)); }

void PutText(VARIANT* parameter, const std::string& text) {
  hg::win::PutText(OutSlot(parameter), text);
}

void PutLong(VARIANT* parameter, std::uint32_t number) {
  hg::win::PutLong(OutSlot(parameter), static_cast<LONG>(number));
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

// The one-dimensional array a byte parameter holds: bytes, or variants as
// script languages make them. A value that is no array is refused.
SAFEARRAY* ArrayOf(const VARIANT& value) {
  const VARIANT& inner = hg::win::Deref(value);
  const VARTYPE element = static_cast<VARTYPE>(inner.vt & ~(VT_ARRAY | VT_BYREF));
  if (!(inner.vt & VT_ARRAY) || (element != VT_UI1 && element != VT_VARIANT)) {
    hg::win::ThrowHResult(E_INVALIDARG, "Value must be an array of bytes.");
  }
  SAFEARRAY* array = hg::win::ArrayOf(inner);
  if (!array) hg::win::ThrowHResult(kSubscriptOutOfRange, "The byte array has no elements allocated.");
  if (::SafeArrayGetDim(array) != 1) hg::win::ThrowHResult(E_INVALIDARG, "Value must be a one-dimensional array.");
  return array;
}

// Writes bytes into the array from its lower bound; variant arrays get bytes as elements.
void StoreBytes(SAFEARRAY* array, const std::vector<std::uint8_t>& bytes) {
  const bool asBytes = hg::win::ElementTypeOf(array) == VT_UI1;
  const hg::win::ArrayAccess access(array);
  if (asBytes) {
    std::copy(bytes.begin(), bytes.end(), access.data<std::uint8_t>());
    return;
  }
  VARIANT* items = access.data<VARIANT>();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    ::VariantClear(&items[i]);
    items[i].vt = VT_UI1;
    items[i].bVal = bytes[i];
  }
}

com_ptr<_CCollection> NewCollection() {
  com_ptr<_CCollection> collection;
  THROW_IF_FAILED(CreateCollection(IID__CCollection, collection.put_void()));
  return collection;
}

void AddText(_CCollection* collection, const std::string& text, bool keyed) {
  const Variant item = hg::win::TextVariant(text);
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
      *result = VariantBool(found);
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
      *result = VariantBool(found);
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
      *result = VariantBool(found);
    });
  }

  STDMETHODIMP SetSTRING(enRegistryKey key, BSTR subKey, BSTR valueName, BSTR value,
                         VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) = VariantBool(
          access_.SetString(Root(key), FromBstr(subKey), FromBstr(valueName), FromBstr(value)));
    });
  }

  STDMETHODIMP SetDWORD(enRegistryKey key, BSTR subKey, BSTR valueName, LONG value,
                        VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) = VariantBool(access_.SetDword(Root(key), FromBstr(subKey),
                                                      FromBstr(valueName),
                                                      static_cast<std::uint32_t>(value)));
    });
  }

  STDMETHODIMP SetBINARY(enRegistryKey key, BSTR subKey, BSTR valueName, VARIANT value,
                         LONG length, VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      const std::string bytes = hg::win::BytesOf(ArrayOf(value));
      if (length < 0 || static_cast<std::size_t>(length) > bytes.size()) {
        hg::win::ThrowHResult(E_INVALIDARG, "Length exceeds the size of the byte array.");
      }
      *result = VariantBool(access_.SetBinary(
          Root(key), FromBstr(subKey), FromBstr(valueName),
          std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                    static_cast<std::size_t>(length))));
    });
  }

  STDMETHODIMP DeleteValue(enRegistryKey key, BSTR subKey, BSTR value, VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) =
          VariantBool(access_.DeleteValue(Root(key), FromBstr(subKey), FromBstr(value)));
    });
  }

  STDMETHODIMP DeleteKey(enRegistryKey key, BSTR subKey, VARIANT_BOOL* result) override {
    return Trap([&] {
      std::string ignored;
      *Checked(result) = VariantBool(access_.DeleteKeyEx(Root(key), FromBstr(subKey), ignored));
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
      *result = VariantBool(deleted);
    });
  }

  STDMETHODIMP EnumKey(enRegistryKey key, BSTR subKey, _CCollection** result) override {
    return Trap([&] {
      Checked(result);
      *result = CollectionOf(access_.EnumKey(Root(key), FromBstr(subKey)), true).detach();
    });
  }

  STDMETHODIMP IsKeyExist(enRegistryKey key, BSTR subKey, VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) = VariantBool(access_.IsKeyExist(Root(key), FromBstr(subKey)));
    });
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
      *success = VariantBool(listed);
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
      std::string path = hg::win::TextOf(OutSlot(subKey));
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
      *result = VariantBool(copied);
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
      *result = VariantBool(copied);
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
               FromBstr(catId), hg::win::IsTrue(include32bitComponents),
               hg::win::IsTrue(include64bitComponents))) {
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
