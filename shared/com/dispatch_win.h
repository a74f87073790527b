// The one IUnknown/IDispatch base of the library's classes. IDispatch goes
// through the type library; failures reach callers as HRESULT + IErrorInfo.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <atomic>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/win/result.h"
#include "shared/com/module_win.h"

namespace tk {

// Records the failure for GetErrorInfo (source "tkShared.<className>") and
// returns hr. An empty description becomes the system's text for hr.
HRESULT RaiseError(HRESULT hr, std::string_view description, std::wstring_view className,
                   REFIID iid) noexcept;

// An out-parameter a COM method is about to fill; a null one is E_POINTER.
template <typename T>
T* Checked(T* out) {
  if (!out) hg::win::ThrowHResult(E_POINTER);
  return out;
}

// The failure trap of every COM method: runs body, turns any exception into
// an HRESULT with error information.
template <typename F>
HRESULT TrapFailures(std::wstring_view className, REFIID iid, F&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (const hg::win::HResultError& e) {
    return RaiseError(e.hr(), e.description(), className, iid);
  } catch (const std::bad_alloc&) {
    return RaiseError(E_OUTOFMEMORY, {}, className, iid);
  } catch (const std::exception& e) {
    return RaiseError(E_FAIL, e.what(), className, iid);
  } catch (...) {
    return RaiseError(E_FAIL, {}, className, iid);
  }
}

// The type information of a dual interface: its dispatch side (for clients)
// and its vtable side (for ITypeInfo::Invoke).
HRESULT GetDispatchTypeInfo(REFIID iid, ITypeInfo** result) noexcept;
HRESULT GetVtableTypeInfo(REFIID iid, ITypeInfo** result) noexcept;

// IDispatch::Invoke through the vtable type information, mending what script
// clients send that ITypeInfo::Invoke would refuse.
HRESULT InvokeThroughTypeInfo(REFIID iid, IDispatch* self, DISPID id, WORD flags,
                              DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                              UINT* argError) noexcept;

// Whether the failures of an Extra base's interface record error information:
// the persistence protocol traps its methods' failures, and so does a class
// that implements IPropertyBag itself. Connection points and class
// information report bare HRESULTs.
template <typename Extra>
bool RaisesErrorInfoUnder(REFIID iid) noexcept {
  if constexpr (std::is_base_of_v<IPersistPropertyBag, Extra>) {
    if (iid == IID_IPersistPropertyBag) return true;
  }
  if constexpr (std::is_base_of_v<IPropertyBag, Extra>) {
    if (iid == IID_IPropertyBag) return true;
  }
  return false;
}

// Derived: the final class, with `static constexpr wchar_t kClassName[]`.
// Interface: its widl-generated dual interface. Extra: further bases whose
// interfaces the class offers (events, persistence); their IUnknown methods
// are the ones below, and Derived hands them out from QueryOther.
template <typename Derived, typename Interface, typename... Extra>
class DispatchObject : public Interface, public ISupportErrorInfo, public Extra... {
 public:
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface)) {
      *object = static_cast<Interface*>(this);
    } else if (iid == IID_ISupportErrorInfo) {
      *object = static_cast<ISupportErrorInfo*>(this);
    } else {
      *object = QueryOther(iid);
    }
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return GetDispatchTypeInfo(__uuidof(Interface), info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                             DISPID* ids) override {
    ITypeInfo* info = nullptr;
    RETURN_IF_FAILED(GetDispatchTypeInfo(__uuidof(Interface), &info));
    const HRESULT hr = ::DispGetIDsOfNames(info, names, count, ids);
    info->Release();
    return hr;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
    return InvokeThroughTypeInfo(__uuidof(Interface), static_cast<Interface*>(this), id, flags,
                                 params, result, exception, argError);
  }

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == __uuidof(Interface) || (RaisesErrorInfoUnder<Extra>(iid) || ...) ? S_OK
                                                                                  : S_FALSE;
  }

 protected:
  DispatchObject() noexcept { ModuleAddRef(); }
  virtual ~DispatchObject() { ModuleRelease(); }

  // Further interfaces a class offers (persistence, connection points).
  virtual void* QueryOther(REFIID) noexcept { return nullptr; }

  template <typename F>
  HRESULT Trap(F&& body) noexcept {
    return TrapFailures(Derived::kClassName, __uuidof(Interface), std::forward<F>(body));
  }

 private:
  std::atomic<ULONG> references_{1};
};

// Creates a Derived and hands out the requested interface; the creator's
// reference is dropped, so a failed QueryInterface destroys the object.
template <typename Derived>
HRESULT CreateInstance(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  Derived* instance = nullptr;
  try {
    instance = new Derived();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
  const HRESULT hr = instance->QueryInterface(iid, object);
  instance->Release();
  return hr;
}

}  // namespace tk
