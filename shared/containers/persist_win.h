// IPersistPropertyBag for the library's containers, and the calls they make
// on whatever bag saves or restores them.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <optional>
#include <string>

#include "common/win/com_win.h"
#include "shared/com/dispatch_win.h"

namespace tk {

// Makes a call into another object and passes on its failure with the
// description that object recorded for it. The thread's error information is
// cleared first, so an object that records none never lends its failure an
// older, unrelated description.
void CallNested(const std::function<HRESULT()>& call);

void WriteToBag(IPropertyBag* bag, const std::wstring& name, const VARIANT& value);
// Nothing when the bag does not hold the name.
std::optional<hg::win::Variant> ReadFromBag(IPropertyBag* bag, const std::wstring& name);

// A collection's entries: "n" is the count (not written when 0), "i1" to "in"
// the entries in order. Keys are not written.
void WriteCount(IPropertyBag* bag, std::size_t count);
std::wstring EntryName(std::size_t number);
// The stored count, 0 when absent.
std::size_t ReadCount(IPropertyBag* bag);
// Entry `number`; a count that names an entry the bag lacks is damaged data.
hg::win::Variant ReadEntry(IPropertyBag* bag, std::size_t number);

// An object property as the interface the class expects; a stored Nothing
// gives null. A value of another kind fails, naming the property.
template <typename I>
hg::win::com_ptr<I> ObjectFromBag(const hg::win::Variant& value, REFIID iid, const char* name) {
  const VARIANT& v = value.get();
  if ((v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) && !v.punkVal) return nullptr;
  hg::win::com_ptr<I> object;
  if ((v.vt != VT_DISPATCH && v.vt != VT_UNKNOWN) ||
      FAILED(v.punkVal->QueryInterface(iid, object.put_void()))) {
    hg::win::ThrowHResult(DISP_E_TYPEMISMATCH, std::string("The stored property \"") + name +
                                                   "\" does not hold the expected object.");
  }
  return object;
}

template <typename I>
hg::win::Variant ObjectValue(const hg::win::com_ptr<I>& object) {
  hg::win::Variant v;
  VARIANT* out = v.put();
  out->vt = VT_DISPATCH;
  out->pdispVal = object.get();
  if (object) object->AddRef();
  return v;
}

// The persistence protocol of a class: Derived provides ClassId(), and
// InitNewState(), LoadFrom(IPropertyBag*) and SaveTo(IPropertyBag*), which
// may throw; the failures reach the caller with their descriptions.
template <typename Derived>
class PersistInBag : public IPersistPropertyBag {
 public:
  STDMETHODIMP GetClassID(CLSID* id) override {
    if (!id) return E_POINTER;
    *id = Derived::ClassId();
    return S_OK;
  }
  STDMETHODIMP InitNew() override {
    return Run([&] { Self().InitNewState(); });
  }
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog*) override {
    if (!bag) return E_POINTER;
    return Run([&] { Self().LoadFrom(bag); });
  }
  STDMETHODIMP Save(IPropertyBag* bag, BOOL, BOOL) override {
    if (!bag) return E_POINTER;
    return Run([&] { Self().SaveTo(bag); });
  }

 protected:
  // Hands out IPersistPropertyBag and IPersist, or null.
  void* PersistInterface(REFIID iid) noexcept {
    if (iid == IID_IPersistPropertyBag || iid == IID_IPersist) {
      return static_cast<IPersistPropertyBag*>(this);
    }
    return nullptr;
  }

 private:
  Derived& Self() { return static_cast<Derived&>(*this); }
  template <typename F>
  HRESULT Run(F&& body) {
    return TrapFailures(Derived::kClassName, IID_IPersistPropertyBag, std::forward<F>(body));
  }
};

}  // namespace tk
