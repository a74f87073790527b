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

// The top-level keys that registration creates and unregistration deletes
// whole, each paired with the value that proves the key belongs to this server.
struct OwnedKey {
  std::string key;
  RegistryValue proof;
};
std::vector<OwnedKey> OwnedKeys(const ServerRegistration& server);

}  // namespace tk
