// The DLL's module state: its handle, the count behind DllCanUnloadNow, its
// type library.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace tk {

// Called by DllMain when the DLL is loaded; in a program that links the
// library statically the handle stays null, which names the program's file.
void AttachModule(HMODULE module) noexcept;
HMODULE ModuleHandle() noexcept;
std::wstring ModulePath();  // throws HResultError

void ModuleAddRef() noexcept;
void ModuleRelease() noexcept;
long ModuleReferences() noexcept;

// The library's type library, loaded once from this DLL's own file.
HRESULT GetTypeLibrary(ITypeLib** result) noexcept;

}  // namespace tk
