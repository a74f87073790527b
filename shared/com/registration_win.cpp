// Per-user registration of the component server.
#include "shared/com/registration_win.h"

#include <oaidl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"
#include "shared/com/class_factory_win.h"
#include "shared/com/module_win.h"
#include "shared/com/registration.h"

namespace tk {
namespace {

using hg::win::com_ptr;
using hg::win::Narrow;
using hg::win::unique_hkey;
using hg::win::Widen;

std::string GuidText(REFGUID guid) {
  wchar_t text[40];
  ::StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
  return Narrow(text);
}

std::vector<InterfaceRegistration> InterfacesOf(ITypeLib* library) {
  std::vector<InterfaceRegistration> interfaces;
  const UINT count = library->GetTypeInfoCount();
  for (UINT i = 0; i < count; ++i) {
    TYPEKIND kind;
    THROW_IF_FAILED(library->GetTypeInfoType(i, &kind));
    if (kind != TKIND_DISPATCH && kind != TKIND_INTERFACE) continue;
    com_ptr<ITypeInfo> info;
    THROW_IF_FAILED(library->GetTypeInfo(i, info.put()));
    TYPEATTR* attributes = nullptr;
    THROW_IF_FAILED(info->GetTypeAttr(&attributes));
    const GUID iid = attributes->guid;
    info->ReleaseTypeAttr(attributes);
    hg::win::unique_bstr name;
    THROW_IF_FAILED(library->GetDocumentation(static_cast<INT>(i), name.put(), nullptr, nullptr, nullptr));
    interfaces.push_back({GuidText(iid), hg::win::FromBstr(name.get())});
  }
  return interfaces;
}

// The running server: this DLL's classes, type library and path.
ServerRegistration DescribeThisServer() {
  com_ptr<ITypeLib> library;
  THROW_IF_FAILED(GetTypeLibrary(library.put()));
  return DescribeServer(Classes(), library.get(), Narrow(ModulePath()));
}

unique_hkey CreateKey(HKEY root, const std::string& path) {
  unique_hkey key;
  THROW_IF_WIN32_ERROR(::RegCreateKeyExW(root, Widen(path).c_str(), 0, nullptr, 0,
                                         KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, key.put(),
                                         nullptr));
  return key;
}

void WriteValues(HKEY root, const std::vector<RegistryValue>& values) {
  for (const RegistryValue& value : values) {
    const unique_hkey key = CreateKey(root, value.key);
    const std::wstring data = Widen(value.data);
    THROW_IF_WIN32_ERROR(::RegSetValueExW(
        key.get(), value.name.empty() ? nullptr : Widen(value.name).c_str(), 0, REG_SZ,
        reinterpret_cast<const BYTE*>(data.c_str()),
        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))));
  }
}

// True when the value exists below root and holds the expected text, compared
// without regard to letter case: paths are spelled in more than one way.
bool HasValue(HKEY root, const RegistryValue& expected) {
  const std::wstring key = Widen(expected.key);
  const std::wstring name = Widen(expected.name);
  const wchar_t* valueName = name.empty() ? nullptr : name.c_str();
  std::wstring data;
  for (;;) {
    DWORD size = 0;
    LSTATUS status = ::RegGetValueW(root, key.c_str(), valueName, RRF_RT_REG_SZ, nullptr,
                                    nullptr, &size);
    if (status != ERROR_SUCCESS) return false;
    data.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    status = ::RegGetValueW(root, key.c_str(), valueName, RRF_RT_REG_SZ, nullptr, data.data(),
                            &size);
    if (status == ERROR_MORE_DATA) continue;  // rewritten in between
    if (status != ERROR_SUCCESS) return false;
    data.resize(::wcslen(data.c_str()));
    break;
  }
  const std::wstring wanted = Widen(expected.data);
  return ::CompareStringOrdinal(data.data(), static_cast<int>(data.size()), wanted.data(),
                                static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL;
}

// True when the key has a subkey other than `except`.
bool HasOtherSubkey(HKEY root, const std::string& path, const std::string& except) {
  unique_hkey key;
  if (::RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  const std::wstring own = Widen(except);
  wchar_t name[256];  // the longest key name the registry allows, and its end
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(std::size(name));
    const LSTATUS status =
        ::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return false;
    THROW_IF_WIN32_ERROR(status);
    if (::CompareStringOrdinal(name, static_cast<int>(length), own.data(),
                               static_cast<int>(own.size()), TRUE) != CSTR_EQUAL) {
      return true;
    }
  }
}

unique_hkey UserClasses() { return CreateKey(HKEY_CURRENT_USER, "Software\\Classes"); }

void DeleteTree(HKEY root, const std::string& path) {
  const LSTATUS status = ::RegDeleteTreeW(root, Widen(path).c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    hg::win::ThrowHResult(HRESULT_FROM_WIN32(status));
  }
}

template <typename F>
HRESULT Guarded(F&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (const hg::win::HResultError& e) {
    return e.hr();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// Removes below root what this server owns there; keys another copy of the
// DLL registered over are left to that copy.
void DeleteOwnedKeys(HKEY root, const ServerRegistration& server) {
  for (const OwnedKeys& owned : ClassKeys(server)) {
    if (!HasValue(root, owned.proof)) continue;
    for (const std::string& key : owned.keys) DeleteTree(root, key);
  }
  const LibraryKeys library = TypeLibraryKeys(server);
  if (!HasValue(root, library.owned.proof)) return;
  if (HasOtherSubkey(root, library.platformsKey, library.platform)) {
    DeleteTree(root, library.platformsKey + "\\" + library.platform);
    return;
  }
  for (const std::string& key : library.owned.keys) DeleteTree(root, key);
}

}  // namespace

ServerRegistration DescribeServer(std::span<const ClassEntry> classes, ITypeLib* library,
                                  std::string serverPath) {
  ServerRegistration server;
  TLIBATTR* attributes = nullptr;
  THROW_IF_FAILED(library->GetLibAttr(&attributes));
  server.libid = GuidText(attributes->guid);
  char version[16];  // the registry spells the version in hexadecimal
  std::snprintf(version, sizeof(version), "%x.%x", attributes->wMajorVerNum,
                attributes->wMinorVerNum);
  library->ReleaseTLibAttr(attributes);
  server.libVersion = version;
  hg::win::unique_bstr name, help;
  THROW_IF_FAILED(library->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr));
  server.libName = hg::win::FromBstr(help.get());
#if defined(_WIN64)
  server.platform = "win64";
#else
  server.platform = "win32";
#endif
  server.serverPath = std::move(serverPath);
  // Scripts name a class by the library's name and the class's.
  const std::string prefix = hg::win::FromBstr(name.get()) + ".";
  for (const ClassEntry& entry : classes) {
    server.classes.push_back({GuidText(*entry.clsid), prefix + Narrow(entry.name)});
  }
  server.interfaces = InterfacesOf(library);
  return server;
}

HRESULT RegisterServer() noexcept {
  return Guarded([] {
    const ServerRegistration server = DescribeThisServer();
    const auto values = RegistrationValues(server);
    WriteValues(UserClasses().get(), values);
    std::vector<RegistryValue> proofs{TypeLibraryKeys(server).owned.proof};
    for (const OwnedKeys& owned : ClassKeys(server)) proofs.push_back(owned.proof);
    for (const RegistryValue& proof : proofs) {
      if (!HasValue(HKEY_CLASSES_ROOT, proof)) {
        // Per-user classes are not merged into HKEY_CLASSES_ROOT here.
        WriteValues(HKEY_CLASSES_ROOT, values);
        break;
      }
    }
  });
}

HRESULT UnregisterServer() noexcept {
  return Guarded([] {
    const ServerRegistration server = DescribeThisServer();
    DeleteOwnedKeys(UserClasses().get(), server);
    // What is still visible and names this server was written there by the
    // fallback.
    DeleteOwnedKeys(HKEY_CLASSES_ROOT, server);
  });
}

}  // namespace tk
