// CNode, CNodes, CParam, CParams: trees of named values that persist in a
// property bag.
#include "shared/containers/nodes_win.h"

#include <string>
#include <vector>

#include "common/win/text_win.h"
#include "common/win/variant_win.h"
#include "shared/containers/collection_win.h"
#include "shared/containers/enum_variant_win.h"
#include "shared/containers/persist_win.h"
#include "tkShared.h"

namespace tk {

using hg::win::com_ptr;
using hg::win::Variant;

namespace {

constexpr HRESULT kInvalidArgument = static_cast<HRESULT>(0x800A0005);
constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);

// Hands a held interface to an [out, retval] slot (null stays null).
template <typename I>
void Hand(const com_ptr<I>& object, I** out) {
  *Checked(out) = object.get();
  if (object) object->AddRef();
}

template <typename I>
com_ptr<I> Create(HRESULT (*create)(REFIID, void**), REFIID iid) {
  com_ptr<I> object;
  THROW_IF_FAILED(create(iid, object.put_void()));
  return object;
}

Position RequiredPosition(const VARIANT& index) {
  auto position = PositionFrom(index);
  if (!position) hg::win::ThrowHResult(kInvalidArgument, "An index or a key is required.");
  return std::move(*position);
}

std::string Upper(const std::string& text) {
  std::wstring wide = hg::win::Widen(text);
  if (!wide.empty()) ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return hg::win::Narrow(wide);
}

std::string NameOf(_CParam* param) {
  hg::win::unique_bstr name;
  CallNested([&] { return param->get_Name(name.put()); });
  return hg::win::FromBstr(name.get());
}

std::string IdOf(_CNode* node) {
  hg::win::unique_bstr id;
  CallNested([&] { return node->get_Id(id.put()); });
  return hg::win::FromBstr(id.get());
}

void WriteText(IPropertyBag* bag, const wchar_t* name, const std::string& text) {
  if (text.empty()) return;  // the empty text is the default
  WriteToBag(bag, name, hg::win::TextVariant(text).get());
}

std::string ReadText(IPropertyBag* bag, const wchar_t* name) {
  auto stored = ReadFromBag(bag, name);
  if (!stored) return {};
  return hg::win::TextOf(stored->get());
}

template <typename I>
com_ptr<I> ReadObject(IPropertyBag* bag, const wchar_t* name, REFIID iid) {
  auto stored = ReadFromBag(bag, name);
  if (!stored) return nullptr;
  return ObjectFromBag<I>(*stored, iid, hg::win::Narrow(name).c_str());
}

// The keyed list of CNodes and CParams: objects of one interface, with the
// collection rules of CCollection.
template <typename I>
class ObjectList {
 public:
  std::size_t Count() const { return items_.Count(); }
  void Add(com_ptr<I> item, const std::string& key) {
    WithCollectionErrors([&] { items_.Add(std::move(item), &key); });
  }
  void Remove(const Position& at) {
    WithCollectionErrors([&] { items_.Remove(at); });
  }
  com_ptr<I> Item(const Position& at) const {
    return WithCollectionErrors([&] { return items_.Item(at); });
  }
  bool Contains(const std::string& key) const { return items_.Contains(key); }
  void Clear() { items_ = KeyedList<com_ptr<I>>(); }

  HRESULT NewEnum(IUnknown** result) const {
    std::vector<Variant> snapshot;
    snapshot.reserve(items_.Count());
    items_.ForEach([&](const com_ptr<I>& item) { snapshot.push_back(ObjectValue(item)); });
    return CreateEnumVariant(std::move(snapshot), result);
  }

  void SaveTo(IPropertyBag* bag) const {
    WriteCount(bag, items_.Count());
    std::size_t number = 0;
    items_.ForEach([&](const com_ptr<I>& item) {
      WriteToBag(bag, EntryName(++number), ObjectValue(item).get());
    });
  }

  // Restores every entry as an I, keyed by keyOf(entry).
  template <typename KeyOf>
  void LoadFrom(IPropertyBag* bag, REFIID iid, KeyOf keyOf) {
    ObjectList restored;
    const std::size_t count = ReadCount(bag);
    for (std::size_t number = 1; number <= count; ++number) {
      const std::string name = "i" + std::to_string(number);
      auto item = ObjectFromBag<I>(ReadEntry(bag, number), iid, name.c_str());
      if (!item) {
        hg::win::ThrowHResult(HRESULT_FROM_WIN32(ERROR_INVALID_DATA),
                              "The stored entry " + name + " holds no object.");
      }
      const std::string key = keyOf(item.get());
      // A renamed entry can share its key with another: it comes back
      // without one rather than the whole stored list being lost.
      if (restored.Contains(key)) {
        restored.items_.Add(std::move(item));
      } else {
        restored.Add(std::move(item), key);
      }
    }
    items_ = std::move(restored.items_);
  }

 private:
  KeyedList<com_ptr<I>> items_;
};

class Param final : public DispatchObject<Param, _CParam, PersistInBag<Param>> {
 public:
  static constexpr wchar_t kClassName[] = L"CParam";
  static const CLSID& ClassId() { return CLSID_CParam; }

  Param() { InitNewState(); }

  STDMETHODIMP get_Name(BSTR* name) override {
    return Trap([&] { *Checked(name) = hg::win::MakeBstr(name_).release(); });
  }
  STDMETHODIMP put_Name(BSTR name) override {
    return Trap([&] { name_ = hg::win::FromBstr(name); });
  }
  STDMETHODIMP get_Values(_CCollection** values) override {
    return Trap([&] { Hand(values_, values); });
  }
  STDMETHODIMP putref_Values(_CCollection* values) override {
    return Trap([&] { values_ = com_ptr<_CCollection>(values); });
  }
  STDMETHODIMP get_Value(VARIANT* value) override {
    return Trap([&] {
      Checked(value);
      LONG count = 0;
      if (values_) CallNested([&] { return values_->get_Count(&count); });
      if (count == 0) {
        hg::win::ThrowHResult(kSubscriptOutOfRange,
                              "The parameter \"" + name_ + "\" has no value.");
      }
      VARIANT first;
      first.vt = VT_I4;
      first.lVal = 1;
      CallNested([&] { return values_->get_Item(first, value); });
    });
  }

  void InitNewState() {
    name_.clear();
    values_ = Create<_CCollection>(CreateCollection, IID__CCollection);
  }
  void SaveTo(IPropertyBag* bag) const {
    WriteText(bag, L"N", name_);
    WriteToBag(bag, L"V", ObjectValue(values_).get());
  }
  void LoadFrom(IPropertyBag* bag) {
    std::string name = ReadText(bag, L"N");
    // Values absent from the bag start empty.
    const auto stored = ReadFromBag(bag, L"V");
    auto values = stored ? ObjectFromBag<_CCollection>(*stored, IID__CCollection, "V")
                         : Create<_CCollection>(CreateCollection, IID__CCollection);
    name_ = std::move(name);
    values_ = std::move(values);
  }

 protected:
  void* QueryOther(REFIID iid) noexcept override { return PersistInterface(iid); }

 private:
  std::string name_;
  com_ptr<_CCollection> values_;
};

class Params final : public DispatchObject<Params, _CParams, PersistInBag<Params>> {
 public:
  static constexpr wchar_t kClassName[] = L"CParams";
  static const CLSID& ClassId() { return CLSID_CParams; }

  STDMETHODIMP get_Count(LONG* count) override {
    return Trap([&] { *Checked(count) = static_cast<LONG>(items_.Count()); });
  }
  STDMETHODIMP Add(VARIANT name, VARIANT value, _CParam** result) override {
    return Trap([&] {
      Checked(result);
      Variant text;
      THROW_IF_FAILED(::VariantChangeType(
          text.put(), const_cast<VARIANT*>(&hg::win::Deref(name)), 0, VT_BSTR));
      auto param = Create<_CParam>(CreateParam, IID__CParam);
      CallNested([&] { return param->put_Name(text.get().bstrVal); });
      if (!hg::win::IsMissing(value)) {
        com_ptr<_CCollection> values;
        CallNested([&] { return param->get_Values(values.put()); });
        const VARIANT missing = hg::win::MissingArgument();
        CallNested([&] { return values->Add(value, missing, missing, missing); });
      }
      items_.Add(param, Upper(hg::win::FromBstr(text.get().bstrVal)));
      Hand(param, result);
    });
  }
  STDMETHODIMP Remove(VARIANT index) override {
    return Trap([&] { items_.Remove(UpperIndex(index)); });
  }
  STDMETHODIMP get_Item(VARIANT index, _CParam** item) override {
    return Trap([&] { Hand(items_.Item(UpperIndex(index)), item); });
  }
  STDMETHODIMP Clear() override {
    return Trap([&] { items_.Clear(); });
  }
  STDMETHODIMP NewEnum(IUnknown** result) override {
    return Trap([&] { THROW_IF_FAILED(items_.NewEnum(Checked(result))); });
  }
  STDMETHODIMP IsInCollection(BSTR name, VARIANT_BOOL* result) override {
    if (!result) return E_POINTER;
    try {
      *result = hg::win::VariantBool(items_.Contains(hg::win::FromBstr(name)));
    } catch (...) {
      *result = VARIANT_FALSE;
    }
    return S_OK;
  }

  void InitNewState() { items_.Clear(); }
  void SaveTo(IPropertyBag* bag) const { items_.SaveTo(bag); }
  void LoadFrom(IPropertyBag* bag) {
    items_.LoadFrom(bag, IID__CParam, [](_CParam* p) { return Upper(NameOf(p)); });
  }

 protected:
  void* QueryOther(REFIID iid) noexcept override { return PersistInterface(iid); }

 private:
  static Position UpperIndex(const VARIANT& index) {
    Position at = RequiredPosition(index);
    if (auto* key = std::get_if<std::string>(&at)) *key = Upper(*key);
    return at;
  }

  ObjectList<_CParam> items_;
};

class Nodes final : public DispatchObject<Nodes, _CNodes, PersistInBag<Nodes>> {
 public:
  static constexpr wchar_t kClassName[] = L"CNodes";
  static const CLSID& ClassId() { return CLSID_CNodes; }

  STDMETHODIMP get_Count(LONG* count) override {
    return Trap([&] { *Checked(count) = static_cast<LONG>(items_.Count()); });
  }
  STDMETHODIMP Add(_CNode** result) override {
    return Trap([&] {
      Checked(result);
      auto node = Create<_CNode>(CreateNode, IID__CNode);
      items_.Add(node, IdOf(node.get()));
      Hand(node, result);
    });
  }
  STDMETHODIMP Remove(VARIANT index) override {
    return Trap([&] { items_.Remove(RequiredPosition(index)); });
  }
  STDMETHODIMP get_Item(VARIANT index, _CNode** item) override {
    return Trap([&] { Hand(items_.Item(RequiredPosition(index)), item); });
  }
  STDMETHODIMP Clear() override {
    return Trap([&] { items_.Clear(); });
  }
  STDMETHODIMP NewEnum(IUnknown** result) override {
    return Trap([&] { THROW_IF_FAILED(items_.NewEnum(Checked(result))); });
  }

  void InitNewState() { items_.Clear(); }
  void SaveTo(IPropertyBag* bag) const { items_.SaveTo(bag); }
  void LoadFrom(IPropertyBag* bag) { items_.LoadFrom(bag, IID__CNode, IdOf); }

 protected:
  void* QueryOther(REFIID iid) noexcept override { return PersistInterface(iid); }

 private:
  ObjectList<_CNode> items_;
};

class Node final : public DispatchObject<Node, _CNode, PersistInBag<Node>> {
 public:
  static constexpr wchar_t kClassName[] = L"CNode";
  static const CLSID& ClassId() { return CLSID_CNode; }

  Node() { InitNewState(); }

  STDMETHODIMP get_Id(BSTR* id) override {
    return Trap([&] { *Checked(id) = hg::win::MakeBstr(id_).release(); });
  }
  STDMETHODIMP put_Id(BSTR id) override {
    return Trap([&] { id_ = hg::win::FromBstr(id); });
  }
  STDMETHODIMP get_SubNodes(_CNodes** nodes) override {
    return Trap([&] { Hand(subNodes_, nodes); });
  }
  STDMETHODIMP get_params(_CParams** params) override {
    return Trap([&] { Hand(params_, params); });
  }
  STDMETHODIMP get_Values(_CCollection** values) override {
    return Trap([&] { Hand(values_, values); });
  }

  void InitNewState() {
    GUID guid;
    THROW_IF_FAILED(::CoCreateGuid(&guid));
    wchar_t text[40] = {};
    if (::StringFromGUID2(guid, text, 40) == 0) hg::win::ThrowHResult(E_UNEXPECTED);
    id_ = hg::win::Narrow(text);
    subNodes_ = Create<_CNodes>(CreateNodes, IID__CNodes);
    params_ = Create<_CParams>(CreateParams, IID__CParams);
    values_ = Create<_CCollection>(CreateCollection, IID__CCollection);
  }
  void SaveTo(IPropertyBag* bag) const {
    WriteText(bag, L"Id", id_);
    WriteToBag(bag, L"N", ObjectValue(subNodes_).get());
    WriteToBag(bag, L"P", ObjectValue(params_).get());
    WriteToBag(bag, L"V", ObjectValue(values_).get());
  }
  // A container the bag lacks is left as nothing.
  void LoadFrom(IPropertyBag* bag) {
    std::string id = ReadText(bag, L"Id");
    auto subNodes = ReadObject<_CNodes>(bag, L"N", IID__CNodes);
    auto params = ReadObject<_CParams>(bag, L"P", IID__CParams);
    auto values = ReadObject<_CCollection>(bag, L"V", IID__CCollection);
    id_ = std::move(id);
    subNodes_ = std::move(subNodes);
    params_ = std::move(params);
    values_ = std::move(values);
  }

 protected:
  void* QueryOther(REFIID iid) noexcept override { return PersistInterface(iid); }

 private:
  std::string id_;
  com_ptr<_CNodes> subNodes_;
  com_ptr<_CParams> params_;
  com_ptr<_CCollection> values_;
};

}  // namespace

HRESULT CreateNode(REFIID iid, void** object) noexcept { return CreateInstance<Node>(iid, object); }
HRESULT CreateNodes(REFIID iid, void** object) noexcept {
  return CreateInstance<Nodes>(iid, object);
}
HRESULT CreateParam(REFIID iid, void** object) noexcept {
  return CreateInstance<Param>(iid, object);
}
HRESULT CreateParams(REFIID iid, void** object) noexcept {
  return CreateInstance<Params>(iid, object);
}

}  // namespace tk
