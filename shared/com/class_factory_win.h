// A server's creatable classes and the one class factory that makes them.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <span>

namespace tk {

struct ClassEntry {
  const CLSID* clsid;
  const wchar_t* name;  // the coclass; the ProgID is "<type library>." + name
  HRESULT (*create)(REFIID iid, void** object);
};

// The classes of the server this module builds: each server's DLL defines
// its own table (tkShared's in shared/classes_win.cpp).
std::span<const ClassEntry> Classes() noexcept;

HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** object) noexcept;

}  // namespace tk
