// Helpers for the tests that call the library through COM: values to pass
// and read back, objects by class, a client's event sink.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
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

// A client's event sink for one source interface. Records each call of the
// event as "name:argument|argument..." (first argument first; a left-out one
// as "missing", a long as "long N") into a shared list, keeps the last call's
// thread, then runs onEvent on the arguments and answers `answer`. Every name
// is the event's, for a caller that binds late. It lives on the stack (its
// atomic count makes it no copy): its count of references only tells what
// sources still hold.
class RecordingSink final : public IDispatch {
 public:
  RecordingSink(REFIID events, std::wstring name, std::vector<std::wstring>& calls, HRESULT answer = S_OK)
      : events_(events), name_(std::move(name)), calls_(calls), answer_(answer) {}

  std::function<void(DISPPARAMS&)> onEvent;
  DWORD thread = 0;
  ULONG references() const { return references_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    const bool known = iid == IID_IUnknown || iid == IID_IDispatch || iid == events_;
    *object = known ? static_cast<IDispatch*>(this) : nullptr;
    if (known) AddRef();
    return known ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override { return *ids = 1, S_OK; }

  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    if (id != 1 || flags != DISPATCH_METHOD || params->cArgs == 0) return DISP_E_MEMBERNOTFOUND;
    std::wstring call = name_ + L":";
    for (UINT i = params->cArgs; i-- > 0;) {  // the last argument comes first
      const VARIANT& argument = params->rgvarg[i];
      call += (i + 1 == params->cArgs ? L"" : L"|") +
              (argument.vt == VT_I4 ? L"long " + std::to_wstring(argument.lVal)
                                    : hg::win::IsMissing(argument) ? L"missing" : TextOf(argument));
    }
    calls_.push_back(call);
    thread = ::GetCurrentThreadId();
    if (onEvent) onEvent(*params);
    return answer_;
  }

 private:
  IID events_;
  std::atomic<ULONG> references_{1};
  std::wstring name_;
  std::vector<std::wstring>& calls_;
  HRESULT answer_;
};

}  // namespace hg::test
