// The DLL's module state: its handle, the count behind DllCanUnloadNow, its
// type library.
#include "shared/com/module_win.h"

#include <atomic>
#include <mutex>

#include "common/win/com_win.h"
#include "common/win/file_win.h"
#include "common/win/result.h"

namespace tk {
namespace {

HMODULE g_module = nullptr;
std::atomic<long> g_references{0};

std::mutex g_typeLibraryLock;
hg::win::com_ptr<ITypeLib> g_typeLibrary;

}  // namespace

void AttachModule(HMODULE module) noexcept { g_module = module; }

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
