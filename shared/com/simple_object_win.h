// The base of the library's small COM objects that offer one interface and
// no IDispatch: class factories and enumerators.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

#include "shared/com/module_win.h"

namespace tk {

// An atomic reference count, the module count behind DllCanUnloadNow, and
// QueryInterface for IUnknown and Interface.
template <typename Interface>
class SimpleObject : public Interface {
 public:
  SimpleObject(const SimpleObject&) = delete;
  SimpleObject& operator=(const SimpleObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(Interface)) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  SimpleObject() noexcept { ModuleAddRef(); }
  virtual ~SimpleObject() { ModuleRelease(); }

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace tk
