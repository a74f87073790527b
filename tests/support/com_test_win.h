// Helpers for the tests that call the library through COM: values to pass,
// objects by class, a client's event sink and its connection.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <string_view>
#include <utility>
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
// A value that owns the array, as an array of `elementType`.
hg::win::Variant Holding(SAFEARRAY* array, VARTYPE elementType = VT_VARIANT);
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

// A client's event sink for one source interface: IUnknown and the parts of
// IDispatch an event source never calls. Derived sinks answer Invoke. It
// starts with one reference, its creator's; OnLastRelease decides what
// happens when none is left (nothing, for a sink on the stack).
class EventSink : public IDispatch {
 public:
  explicit EventSink(REFIID events) : events_(events) {}
  virtual ~EventSink() = default;
  EventSink(const EventSink&) = delete;
  EventSink& operator=(const EventSink&) = delete;

  ULONG references() const { return references_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) OnLastRelease();
    return left;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }

 protected:
  virtual void OnLastRelease() {}

 private:
  IID events_;
  std::atomic<ULONG> references_{1};
};

// A sink advised to a connection point for the life of this object.
class Advised {
 public:
  Advised(IConnectionPoint* point, IUnknown* sink) : point_(point) {
    EXPECT_EQ(point->Advise(sink, &cookie_), S_OK);
  }
  ~Advised() {
    if (cookie_) point_->Unadvise(cookie_);
  }
  Advised(const Advised&) = delete;
  Advised& operator=(const Advised&) = delete;

  DWORD cookie() const { return cookie_; }
  // Unadvises now rather than at the end of the scope.
  HRESULT Unadvise() { return point_->Unadvise(std::exchange(cookie_, 0)); }

 private:
  IConnectionPoint* point_;
  DWORD cookie_ = 0;
};

}  // namespace hg::test
