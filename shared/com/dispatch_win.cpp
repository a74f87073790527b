// The shared IDispatch machinery: error information, type information, Invoke.
#include "shared/com/dispatch_win.h"

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "shared/system_message.h"

namespace tk {

using hg::win::com_ptr;

namespace {

// "<library>.<class>", the name scripts create the class by.
std::wstring SourceOf(std::wstring_view className) {
  std::wstring source(className);
  com_ptr<ITypeLib> library;
  hg::win::unique_bstr name;
  if (SUCCEEDED(GetTypeLibrary(library.put())) &&
      SUCCEEDED(library->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr))) {
    source = std::wstring(name.get(), ::SysStringLen(name.get())) + L"." + source;
  }
  return source;
}

}  // namespace

HRESULT RaiseError(HRESULT hr, std::string_view description, std::wstring_view className,
                   REFIID iid) noexcept {
  try {
    const std::string text = description.empty() ? SystemMessageText(static_cast<DWORD>(hr))
                                                 : std::string(description);
    const std::wstring source = SourceOf(className);
    com_ptr<ICreateErrorInfo> create;
    if (SUCCEEDED(::CreateErrorInfo(create.put()))) {
      const std::wstring wide = hg::win::Widen(text);
      create->SetGUID(iid);
      create->SetSource(const_cast<LPOLESTR>(source.c_str()));
      create->SetDescription(const_cast<LPOLESTR>(wide.c_str()));
      auto info = create.query<IErrorInfo>(IID_IErrorInfo);
      ::SetErrorInfo(0, info.get());
    }
  } catch (...) {
    // The HRESULT still reaches the caller; only its description is lost.
  }
  return hr;
}

namespace {

struct TypeInfos {
  com_ptr<ITypeInfo> dispatch;
  com_ptr<ITypeInfo> vtable;
};

// Type information lives as long as the module; apartments may share it.
std::mutex g_typeInfoLock;
std::map<GUID, TypeInfos, bool (*)(const GUID&, const GUID&)> g_typeInfos(
    [](const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) < 0; });

HRESULT LookUp(REFIID iid, TypeInfos& out) noexcept {
  std::lock_guard lock(g_typeInfoLock);
  try {
    if (auto found = g_typeInfos.find(iid); found != g_typeInfos.end()) {
      out = found->second;
      return S_OK;
    }
    com_ptr<ITypeLib> library;
    RETURN_IF_FAILED(GetTypeLibrary(library.put()));
    TypeInfos infos;
    RETURN_IF_FAILED(library->GetTypeInfoOfGuid(iid, infos.dispatch.put()));
    // For a dual interface the dispatch side refers to its vtable side as -1.
    HREFTYPE vtableRef = 0;
    RETURN_IF_FAILED(infos.dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef));
    RETURN_IF_FAILED(infos.dispatch->GetRefTypeInfo(vtableRef, infos.vtable.put()));
    out = g_typeInfos.emplace(iid, std::move(infos)).first->second;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

// True when parameter `index` of the member (id, flags) is declared as a
// SAFEARRAY (by value or by reference). Walks the function descriptions
// directly: Wine's GetFuncIndexOfMemId miscounts on dual interfaces.
bool IsArrayParameter(ITypeInfo* info, DISPID id, WORD flags, UINT index) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return false;
  const UINT functions = attributes->cFuncs;
  info->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function))) continue;
    bool isArray = false;
    const bool match = function->memid == id && (function->invkind & flags) != 0;
    if (match && index < static_cast<UINT>(function->cParams)) {
      const TYPEDESC* type = &function->lprgelemdescParam[index].tdesc;
      if (type->vt == VT_PTR) type = type->lptdesc;
      isArray = type->vt == VT_SAFEARRAY;
    }
    info->ReleaseFuncDesc(function);
    if (match) return isArray;
  }
  return false;
}

}  // namespace

HRESULT GetDispatchTypeInfo(REFIID iid, ITypeInfo** result) noexcept {
  TypeInfos infos;
  RETURN_IF_FAILED(LookUp(iid, infos));
  *result = infos.dispatch.detach();
  return S_OK;
}

HRESULT GetVtableTypeInfo(REFIID iid, ITypeInfo** result) noexcept {
  TypeInfos infos;
  RETURN_IF_FAILED(LookUp(iid, infos));
  *result = infos.vtable.detach();
  return S_OK;
}

HRESULT InvokeThroughTypeInfo(REFIID iid, IDispatch* self, DISPID id, WORD flags,
                              DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                              UINT* argError) noexcept {
  if (!params) return E_INVALIDARG;
  com_ptr<ITypeInfo> info;
  RETURN_IF_FAILED(GetVtableTypeInfo(iid, info.put()));
  try {
    // VBScript passes an array variable as a reference to a variant holding
    // the array (a fixed-size one holds it by reference); ITypeInfo::Invoke
    // refuses that for a SAFEARRAY parameter, so such an argument becomes a
    // reference to the array itself.
    std::vector<VARIANTARG> args(params->rgvarg, params->rgvarg + params->cArgs);
    for (UINT i = 0; i < params->cArgs; ++i) {
      VARIANTARG& arg = args[i];
      if (arg.vt != (VT_BYREF | VT_VARIANT) || !arg.pvarVal) continue;
      VARIANT& inner = *arg.pvarVal;
      if (!(inner.vt & VT_ARRAY) || ((inner.vt & VT_BYREF) && !inner.pparray)) continue;
      const UINT parameter = i < params->cNamedArgs
                                 ? static_cast<UINT>(params->rgdispidNamedArgs[i])
                                 : params->cArgs - 1 - i;
      if (!IsArrayParameter(info.get(), id, flags, parameter)) continue;
      arg.vt = static_cast<VARTYPE>(VT_BYREF | inner.vt);
      arg.pparray = (inner.vt & VT_BYREF) ? inner.pparray : &inner.parray;
    }
    DISPPARAMS mended = *params;
    mended.rgvarg = args.data();

    HRESULT hr = info->Invoke(self, id, flags, &mended, result, exception, argError);
    // Script engines call a parameterised property (Item) as a method.
    if (hr == DISP_E_MEMBERNOTFOUND && flags == DISPATCH_METHOD) {
      hr = info->Invoke(self, id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &mended, result,
                        exception, argError);
    }
    // `node.Values(1)`: a property that takes no arguments hands them to the
    // default member of the object it returns, as the language runtime does.
    if (hr == DISP_E_BADPARAMCOUNT && params->cArgs > 0 && params->cNamedArgs == 0 &&
        (flags & DISPATCH_PROPERTYGET)) {
      DISPPARAMS none{};
      hg::win::Variant property;
      if (SUCCEEDED(info->Invoke(self, id, DISPATCH_PROPERTYGET, &none, property.put(), exception,
                                 argError)) &&
          property.type() == VT_DISPATCH && property.get().pdispVal) {
        hr = property.get().pdispVal->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, flags,
                                             params, result, exception, argError);
      }
    }
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace tk
