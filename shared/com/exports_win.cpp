// The DLL's entry points: DllMain, the class objects, unloading, registration.
#include <windows.h>

#include "shared/com/class_factory_win.h"
#include "shared/com/module_win.h"
#include "shared/com/registration_win.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  // Thread notifications stay on: the statically linked runtime frees each
  // thread's own data (thread_local objects) when it is told the thread ends.
  if (reason == DLL_PROCESS_ATTACH) tk::AttachModule(instance);
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
