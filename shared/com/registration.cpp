// What registering the component server writes.
#include "shared/com/registration.h"

namespace tk {
namespace {

// The automation marshaller: interfaces described by a type library need no
// proxy DLL of their own.
constexpr const char* kAutomationProxy = "{00020424-0000-0000-C000-000000000046}";

std::string ClassKey(const ClassRegistration& c) { return "CLSID\\" + c.clsid; }
std::string InterfaceKey(const InterfaceRegistration& i) { return "Interface\\" + i.iid; }
std::string TypeLibKey(const ServerRegistration& s) { return "TypeLib\\" + s.libid; }

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::vector<RegistryValue> RegistrationValues(const ServerRegistration& s) {
  std::vector<RegistryValue> values;
  const auto add = [&](std::string key, std::string name, std::string data) {
    values.push_back({std::move(key), std::move(name), std::move(data)});
  };

  const std::string lib = TypeLibKey(s) + "\\" + s.libVersion;
  add(lib, "", s.libName);
  add(lib + "\\0\\" + s.platform, "", s.serverPath);
  add(lib + "\\FLAGS", "", "0");
  add(lib + "\\HELPDIR", "", FolderOf(s.serverPath));

  for (const auto& c : s.classes) {
    const std::string key = ClassKey(c);
    add(key, "", c.progId);
    add(key + "\\InprocServer32", "", s.serverPath);
    add(key + "\\InprocServer32", "ThreadingModel", "Apartment");
    add(key + "\\ProgID", "", c.progId);
    add(key + "\\TypeLib", "", s.libid);
    add(key + "\\VERSION", "", s.libVersion);
    add(key + "\\Programmable", "", "");
    add(c.progId, "", c.progId);
    add(c.progId + "\\CLSID", "", c.clsid);
  }

  for (const auto& i : s.interfaces) {
    const std::string key = InterfaceKey(i);
    add(key, "", i.name);
    add(key + "\\ProxyStubClsid", "", kAutomationProxy);
    add(key + "\\ProxyStubClsid32", "", kAutomationProxy);
    add(key + "\\TypeLib", "", s.libid);
    add(key + "\\TypeLib", "Version", s.libVersion);
  }
  return values;
}

std::vector<OwnedKeys> ClassKeys(const ServerRegistration& s) {
  std::vector<OwnedKeys> classes;
  for (const auto& c : s.classes) {
    // The ProgID's own CLSID value is the same for every copy of the DLL, so
    // the class's server path proves ownership of both keys.
    classes.push_back({{ClassKey(c) + "\\InprocServer32", "", s.serverPath},
                       {ClassKey(c), c.progId}});
  }
  return classes;
}

LibraryKeys TypeLibraryKeys(const ServerRegistration& s) {
  const std::string platforms = TypeLibKey(s) + "\\" + s.libVersion + "\\0";
  LibraryKeys library{{{platforms + "\\" + s.platform, "", s.serverPath}, {TypeLibKey(s)}},
                      platforms,
                      s.platform};
  for (const auto& i : s.interfaces) library.owned.keys.push_back(InterfaceKey(i));
  return library;
}

}  // namespace tk
