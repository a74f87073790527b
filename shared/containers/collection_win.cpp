// CCollection: the library's keyed collection as a COM class.
#include "shared/containers/collection_win.h"

#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "common/win/variant_win.h"
#include "shared/com/dispatch_win.h"
#include "shared/containers/enum_variant_win.h"
#include "shared/containers/persist_win.h"
#include "tkShared.h"

namespace tk {

using hg::win::Variant;

namespace {

// The numbers script writers know from the language runtime's own Collection.
constexpr HRESULT kInvalidArgument = static_cast<HRESULT>(0x800A0005);   // 5
constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);  // 9
constexpr HRESULT kDuplicateKey = static_cast<HRESULT>(0x800A01C9);      // 457

class Collection final
    : public DispatchObject<Collection, _CCollection, PersistInBag<Collection>> {
 public:
  static constexpr wchar_t kClassName[] = L"CCollection";
  static const CLSID& ClassId() { return CLSID_CCollection; }

  STDMETHODIMP get_Count(LONG* count) override {
    return Trap([&] { *Checked(count) = static_cast<LONG>(items_.Count()); });
  }

  STDMETHODIMP Add(VARIANT item, VARIANT key, VARIANT before, VARIANT after) override {
    return Trap([&] {
      const auto keyText = KeyFrom(key);
      const auto beforePosition = PositionFrom(before);
      const auto afterPosition = PositionFrom(after);
      WithCollectionErrors([&] {
        items_.Add(Variant::CopyOf(item), keyText ? &*keyText : nullptr,
                   beforePosition ? &*beforePosition : nullptr,
                   afterPosition ? &*afterPosition : nullptr);
      });
    });
  }

  STDMETHODIMP Remove(VARIANT index) override {
    return Trap([&] { WithCollectionErrors([&] { items_.Remove(Required(index)); }); });
  }

  STDMETHODIMP get_Item(VARIANT index, VARIANT* item) override {
    return Trap([&] {
      Checked(item);
      Variant copy = WithCollectionErrors(
          [&] { return Variant::CopyOf(items_.Item(Required(index)).get()); });
      copy.Detach(item);
    });
  }

  STDMETHODIMP Clear() override {
    return Trap([&] { items_ = KeyedList<Variant>(); });
  }

  STDMETHODIMP NewEnum(IUnknown** result) override {
    return Trap([&] {
      std::vector<Variant> snapshot;
      snapshot.reserve(items_.Count());
      items_.ForEach([&](const Variant& v) { snapshot.push_back(Variant::CopyOf(v.get())); });
      THROW_IF_FAILED(CreateEnumVariant(std::move(snapshot), Checked(result)));
    });
  }

  STDMETHODIMP IsInCollection(BSTR key, VARIANT_BOOL* result) override {
    return Trap([&] {
      *Checked(result) = hg::win::VariantBool(items_.Contains(hg::win::FromBstr(key)));
    });
  }

  // Persistence: the entries in order, without their keys, so a restored
  // collection is reachable by number only.
  void InitNewState() { items_ = KeyedList<Variant>(); }
  void SaveTo(IPropertyBag* bag) const {
    WriteCount(bag, items_.Count());
    std::size_t number = 0;
    items_.ForEach([&](const Variant& v) { WriteToBag(bag, EntryName(++number), v.get()); });
  }
  void LoadFrom(IPropertyBag* bag) {
    KeyedList<Variant> restored;
    const std::size_t count = ReadCount(bag);
    for (std::size_t number = 1; number <= count; ++number) {
      restored.Add(ReadEntry(bag, number));
    }
    items_ = std::move(restored);
  }

 protected:
  void* QueryOther(REFIID iid) noexcept override { return PersistInterface(iid); }

 private:
  static Position Required(const VARIANT& index) {
    auto position = PositionFrom(index);
    if (!position) hg::win::ThrowHResult(kInvalidArgument, "An index or a key is required.");
    return std::move(*position);
  }

  KeyedList<Variant> items_;
};

}  // namespace

HRESULT CreateCollection(REFIID iid, void** object) noexcept {
  return CreateInstance<Collection>(iid, object);
}

std::optional<Position> PositionFrom(const VARIANT& index) {
  const VARIANT& value = hg::win::Deref(index);
  if (hg::win::IsMissing(value)) return std::nullopt;
  // Text is a key also when passed by reference (a ByRef String argument).
  if (value.vt == VT_BSTR) return Position{hg::win::FromBstr(value.bstrVal)};
  if (value.vt == (VT_BYREF | VT_BSTR)) {
    return Position{hg::win::FromBstr(value.pbstrVal ? *value.pbstrVal : nullptr)};
  }
  Variant number;
  THROW_IF_FAILED(::VariantChangeType(number.put(), const_cast<VARIANT*>(&value), 0, VT_I8));
  return Position{static_cast<std::int64_t>(number.get().llVal)};
}

std::optional<std::string> KeyFrom(const VARIANT& key) {
  const VARIANT& value = hg::win::Deref(key);
  // An Empty key is no key, as with the language's own collection: a variable
  // never assigned must not become the key "".
  if (hg::win::IsMissing(value) || value.vt == VT_EMPTY) return std::nullopt;
  Variant text;
  THROW_IF_FAILED(::VariantChangeType(text.put(), const_cast<VARIANT*>(&value), 0, VT_BSTR));
  return hg::win::FromBstr(text.get().bstrVal);
}

void ThrowCollectionError(const CollectionError& error) {
  switch (error.fault()) {
    case CollectionFault::DuplicateKey:
      hg::win::ThrowHResult(kDuplicateKey, error.what());
    case CollectionFault::KeyNotFound:
      hg::win::ThrowHResult(kInvalidArgument, error.what());
    case CollectionFault::IndexOutOfRange:
      hg::win::ThrowHResult(kSubscriptOutOfRange, error.what());
    case CollectionFault::BeforeAndAfter:
      break;
  }
  hg::win::ThrowHResult(E_INVALIDARG, error.what());
}

}  // namespace tk
