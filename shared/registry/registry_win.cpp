// CRegistry: the library's registry class as a COM class.
#include "shared/registry/registry_win.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
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

// A caller's key or value name, refused when the system would cut it.
std::string Name(BSTR text, std::string_view parameter) {
  return hg::win::NameFromBstr(text, parameter);
}

// A Boolean operation of the class without a FalseCause: a refused name makes it false.
template <typename Operation>
bool FalseOnRefusedName(Operation&& operation) {
  std::string ignored;
  return hg::win::FalseOnRefusedText(ignored, std::forward<Operation>(operation));
}

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
    return Trap([&] { *Checked(name) = hg::win::MakeBstr(tk::GetKeyName(Root(key))).release(); });
  }

  STDMETHODIMP QuerySTRING(enRegistryKey key, BSTR subKey, BSTR valueName, VARIANT* value,
                           VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      std::string text;
      const bool found = FalseOnRefusedName([&] {
        return access_.QueryString(Root(key), Name(subKey, "SubKey"), Name(valueName, "ValueName"),
                                   text);
      });
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
      const bool found = FalseOnRefusedName([&] {
        return access_.QueryDword(Root(key), Name(subKey, "SubKey"), Name(valueName, "ValueName"),
                                  number);
      });
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
      const bool found = FalseOnRefusedName([&] {
        return access_.QueryBinary(Root(key), Name(subKey, "SubKey"), Name(valueName, "ValueName"),
                                   buffer, size);
      });
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
      *Checked(result) = VariantBool(FalseOnRefusedName([&] {
        return access_.SetString(Root(key), Name(subKey, "SubKey"), Name(valueName, "ValueName"),
                                 FromBstr(value));
      }));
    });
  }

  STDMETHODIMP SetDWORD(enRegistryKey key, BSTR subKey, BSTR valueName, LONG value,
                        VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) = VariantBool(FalseOnRefusedName([&] {
        return access_.SetDword(Root(key), Name(subKey, "SubKey"), Name(valueName, "ValueName"),
                                static_cast<std::uint32_t>(value));
      }));
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
      *result = VariantBool(FalseOnRefusedName([&] {
        return access_.SetBinary(Root(key), Name(subKey, "SubKey"), Name(valueName, "ValueName"),
                                 std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           static_cast<std::size_t>(length)));
      }));
    });
  }

  STDMETHODIMP DeleteValue(enRegistryKey key, BSTR subKey, BSTR value, VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) = VariantBool(FalseOnRefusedName([&] {
        return access_.DeleteValue(Root(key), Name(subKey, "SubKey"), Name(value, "Value"));
      }));
    });
  }

  STDMETHODIMP DeleteKey(enRegistryKey key, BSTR subKey, VARIANT_BOOL* result) override {
    return Trap([&] {
      std::string ignored;
      *Checked(result) = VariantBool(hg::win::FalseOnRefusedText(
          ignored, [&] { return access_.DeleteKeyEx(Root(key), Name(subKey, "SubKey"), ignored); }));
    });
  }

  STDMETHODIMP DeleteKeyEx(enRegistryKey key, BSTR subKey, VARIANT* falseCause,
                           VARIANT_BOOL* result) override {
    return Trap([&] {
      Checked(result);
      OutSlot(falseCause);
      std::string cause;
      const bool deleted = hg::win::FalseOnRefusedText(
          cause, [&] { return access_.DeleteKeyEx(Root(key), Name(subKey, "SubKey"), cause); });
      PutText(falseCause, cause);
      *result = VariantBool(deleted);
    });
  }

  STDMETHODIMP EnumKey(enRegistryKey key, BSTR subKey, _CCollection** result) override {
    return Trap([&] {
      Checked(result);
      *result = CollectionOf(access_.EnumKey(Root(key), Name(subKey, "SubKey")), true).detach();
    });
  }

  STDMETHODIMP IsKeyExist(enRegistryKey key, BSTR subKey, VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) = VariantBool(FalseOnRefusedName(
          [&] { return access_.IsKeyExist(Root(key), Name(subKey, "SubKey")); }));
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
      const bool listed = hg::win::FalseOnRefusedText(cause, [&] {
        return access_.EnumValuesEx(Root(key), Name(subKey, "SubKey"), names, cause);
      });
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
      if (!access_.EnumValuesEx(Root(key), Name(subKey, "SubKey"), names, ignored)) names.clear();
      *result = CollectionOf(names, false).detach();
    });
  }

  STDMETHODIMP SaveAsReg50(enRegistryKey key, VARIANT* subKey, BSTR* text) override {
    return Trap([&] {
      Checked(text);
      std::string path = hg::win::NameFromText(hg::win::TextOf(OutSlot(subKey)), "SubKey");
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
      const bool copied = hg::win::FalseOnRefusedText(cause, [&] {
        return access_.CopySubKey(Root(key), Name(subKey, "SubKey"), Root(toKey),
                                  Name(putToSubKey, "PutToSubKey"), cause);
      });
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
      const bool copied = hg::win::FalseOnRefusedText(cause, [&] {
        return access_.CopySingleValue(Root(key), Name(subKey, "SubKey"),
                                       Name(valueName, "ValueName"), Root(toKey),
                                       Name(toSubKey, "ToSubKey"), cause);
      });
      PutText(falseCause, cause);
      *result = VariantBool(copied);
    });
  }

  STDMETHODIMP SaveSingleValueAsReg50(enRegistryKey key, BSTR subKey, BSTR valueName,
                                      BSTR* text) override {
    return Trap([&] {
      Checked(text);
      *text = hg::win::MakeBstr(
                  access_.SaveSingleValueAsReg50(Root(key), Name(subKey, "SubKey"),
                                                 Name(valueName, "ValueName")))
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
               Name(catId, "CatID"), hg::win::IsTrue(include32bitComponents),
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
