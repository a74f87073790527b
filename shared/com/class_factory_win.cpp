// The one class factory, which makes the classes of the server's table.
#include "shared/com/class_factory_win.h"

#include <atomic>
#include <new>

#include "shared/com/module_win.h"
#include "shared/com/simple_object_win.h"
#include "shared/com/startup_win.h"

namespace tk {
namespace {

// LockServer's locks, held for the module as a whole: a client may unlock
// through another factory than the one it locked through.
std::atomic<long> g_serverLocks{0};

class ClassFactory final : public SimpleObject<IClassFactory> {
 public:
  explicit ClassFactory(const ClassEntry& entry) noexcept : entry_(entry) {}

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    StartLibrary();
    return entry_.create(iid, object);
  }

  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      ++g_serverLocks;
      ModuleAddRef();
      return S_OK;
    }
    // An unlock without a lock must not pin the module for good.
    long locks = g_serverLocks.load();
    while (locks > 0 && !g_serverLocks.compare_exchange_weak(locks, locks - 1)) {
    }
    if (locks > 0) ModuleRelease();
    return S_OK;
  }

 private:
  const ClassEntry& entry_;
};

}  // namespace

HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (const ClassEntry& entry : Classes()) {
    if (*entry.clsid != clsid) continue;
    auto* factory = new (std::nothrow) ClassFactory(entry);
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace tk
