// What the library's tests under Wine share: its classes' header, the COM
// test helpers and a client's event sink for the library's event sources.
#pragma once

#include <atomic>
#include <utility>

#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace hg::test {

// A client's event sink for one source interface. Records each call of the
// event as "name:argument|argument..." (first argument first; a left-out one
// as "missing", a long as "long N") into a shared list, keeps the last call's
// thread, then runs onEvent and answers `answer`. It lives on the stack (its
// atomic count makes it no copy): its count of references only tells what
// sources still hold.
class RecordingSink final : public IDispatch {
 public:
  RecordingSink(REFIID events, std::wstring name, std::vector<std::wstring>& calls, HRESULT answer = S_OK)
      : events_(events), name_(std::move(name)), calls_(calls), answer_(answer) {}

  std::function<void()> onEvent;
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
  // An event source calls Invoke alone.
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

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
    if (onEvent) onEvent();
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
