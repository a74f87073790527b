// Per-user registration of the component server.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <span>
#include <string>

#include "shared/com/class_factory_win.h"
#include "shared/com/registration.h"

namespace tk {

// What registering the server with these classes and this type library writes
// for its DLL at serverPath. The installer's entries are made from it too.
ServerRegistration DescribeServer(std::span<const ClassEntry> classes, ITypeLib* library,
                                  std::string serverPath);

// Writes the classes, the type library and the interfaces below
// HKCU\Software\Classes, and below HKEY_CLASSES_ROOT as well where the system
// does not show per-user classes there (Wine).
HRESULT RegisterServer() noexcept;

// Removes every key RegisterServer wrote.
HRESULT UnregisterServer() noexcept;

}  // namespace tk
