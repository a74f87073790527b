// Per-user registration of the component server.
#pragma once

#include <windows.h>

namespace tk {

// Writes the classes, the type library and the interfaces below
// HKCU\Software\Classes, and below HKEY_CLASSES_ROOT as well where the system
// does not show per-user classes there (Wine).
HRESULT RegisterServer() noexcept;

// Removes every key RegisterServer wrote.
HRESULT UnregisterServer() noexcept;

}  // namespace tk
