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
// its own table (tkShared's in shared/classes_win.cpp) with TK_SERVER_CLASSES.
std::span<const ClassEntry> Classes() noexcept;

// A row of the table: the coclass `name` of the server's type library
// (CLSID_<name>) and the function that creates it.
#define TK_CLASS(name, create) ::tk::ClassEntry{&CLSID_##name, L## #name, create}

// Defines tk::Classes() over the rows given, each a TK_CLASS.
#define TK_SERVER_CLASSES(...)                                   \
  std::span<const ::tk::ClassEntry> tk::Classes() noexcept {     \
    static constexpr ::tk::ClassEntry kClasses[] = {__VA_ARGS__}; \
    return kClasses;                                             \
  }

HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** object) noexcept;

}  // namespace tk
