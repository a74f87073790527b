// The DLL's entry points: DllMain, the class objects, unloading, registration.
#include "shared/module_win.h"

#include <atomic>
#include <mutex>

#include "common/win/com_win.h"
#include "common/win/file_win.h"
#include "common/win/result.h"
#include "shared/class_factory_win.h"
#include "shared/registration_win.h"

namespace tk {
namespace {

HMODULE g_module = nullptr;
std::atomic<long> g_references{0};

std::mutex g_typeLibraryLock;
hg::win::com_ptr<ITypeLib> g_typeLibrary;

}  // namespace

HMODULE ModuleHandle() noexcept { return g_module; }

std::wstring ModulePath() { return hg::win::ModuleFileName(g_module); }

void ModuleAddRef() noexcept { ++g_references; }
void ModuleRelease() noexcept { --g_references; }
long ModuleReferences() noexcept { return g_references; }

HRESULT GetTypeLibrary(ITypeLib** result) noexcept {
  if (!result) return E_POINTER;
  *result = nullptr;
  std::lock_guard lock(g_typeLibraryLock);
  if (!g_typeLibrary) {
    try {
      // The DLL's own file, never a name the loader would search for.
      RETURN_IF_FAILED(::LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, g_typeLibrary.put()));
    } catch (const hg::win::HResultError& e) {
      return e.hr();
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  *result = hg::win::com_ptr<ITypeLib>(g_typeLibrary.get()).detach();
  return S_OK;
}

}  // namespace tk

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  // Thread notifications stay on: the statically linked runtime frees each
  // thread's own data (thread_local objects) when it is told the thread ends.
  if (reason == DLL_PROCESS_ATTACH) tk::g_module = instance;
  return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return tk::GetClassFactory(clsid, iid, object);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() {
  return tk::ModuleReferences() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT __stdcall DllRegisterServer() { return tk::RegisterServer(); }

extern "C" HRESULT __stdcall DllUnregisterServer() { return tk::UnregisterServer(); }
