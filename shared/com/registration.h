// What registering the component server writes: keys and values below a
// classes root (HKCU\Software\Classes for a per-user registration).
#pragma once

#include <string>
#include <vector>

namespace tk {

struct RegistryValue {
  std::string key;   // below the classes root
  std::string name;  // empty: the key's default value
  std::string data;
};

struct ClassRegistration {
  std::string clsid;  // "{...}"
  std::string progId;
};

struct InterfaceRegistration {
  std::string iid;  // "{...}"
  std::string name;
};

struct ServerRegistration {
  std::string libid;
  std::string libVersion;   // "1.0"
  std::string libName;      // the type library's help string
  std::string platform;     // "win64" or "win32"
  std::string serverPath;   // full path of the DLL
  std::vector<ClassRegistration> classes;
  std::vector<InterfaceRegistration> interfaces;
};

// Every value to write, parents before children.
std::vector<RegistryValue> RegistrationValues(const ServerRegistration& server);

// Top-level keys that registration creates and unregistration deletes whole,
// but only while the proof value still names this server: once another copy
// of the DLL has registered itself over them, they are that copy's.
struct OwnedKeys {
  RegistryValue proof;
  std::vector<std::string> keys;
};

// Per class: its CLSID and ProgID keys, proven by the class's InprocServer32.
std::vector<OwnedKeys> ClassKeys(const ServerRegistration& server);

// The type library and its interfaces, proven by the library's entry for this
// platform. When the library is registered for another platform as well (a
// 32-bit build beside a 64-bit one), only this platform's entry is removed,
// below platformsKey, and the rest serves the other build.
struct LibraryKeys {
  OwnedKeys owned;
  std::string platformsKey;  // "TypeLib\{...}\1.0\0"
  std::string platform;      // this build's subkey of it
};
LibraryKeys TypeLibraryKeys(const ServerRegistration& server);

}  // namespace tk
