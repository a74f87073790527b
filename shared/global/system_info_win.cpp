// The platform queries behind the global class's system information.
#include "shared/global/system_info_win.h"

#include <windows.h>
#include <oleauto.h>
#include <ras.h>

#include <algorithm>
#include <array>
#include <cwchar>

#include "common/win/com_win.h"
#include "common/win/proc_address.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"
#include "common/win/variant_win.h"
#include "shared/global/system_info.h"
#include "shared/system_message.h"

namespace tk {

using hg::win::Narrow;
using hg::win::Widen;

namespace {

// Calls `query(buffer, capacity)`, which returns the characters it needs
// (terminator included) or 0, until the whole answer fits.
template <typename Query>
std::wstring ReadGrowing(DWORD capacity, Query query) {
  std::wstring buffer;
  for (;;) {
    buffer.resize(capacity);
    const DWORD needed = query(buffer.data(), capacity);
    if (needed == 0) return {};
    if (needed < capacity) {
      buffer.resize(std::wcslen(buffer.c_str()));
      return buffer;
    }
    capacity = needed + 1;
  }
}

[[noreturn]] void ThrowErrorOfCode(DWORD code) {
  hg::win::ThrowHResult(code == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(code),
                        ErrorText(code));
}

std::wstring TempPathWide() {
  return ReadGrowing(512, [](wchar_t* buffer, DWORD capacity) {
    return ::GetTempPathW(capacity, buffer);
  });
}

std::wstring CreateTempFileWide(const std::wstring& prefix) {
  const std::wstring folder = TempPathWide();
  wchar_t name[MAX_PATH + 1] = {};
  if (folder.empty() || ::GetTempFileNameW(folder.c_str(), prefix.c_str(), 0, name) == 0) {
    const DWORD error = ::GetLastError();
    hg::win::ThrowHResult(E_FAIL, "Cannot create a temporary file. " + SystemMessageText(error));
  }
  return name;
}

// The version resource of a file, or empty.
std::vector<unsigned char> VersionResource(const std::wstring& fileName) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(fileName.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<unsigned char> resource(size);
  if (!::GetFileVersionInfoW(fileName.c_str(), 0, size, resource.data())) return {};
  return resource;
}

// A value of the resource at `subBlock` and its length, or null.
const void* QueryValue(std::vector<unsigned char>& resource, const std::wstring& subBlock,
                       UINT& length) {
  void* value = nullptr;
  length = 0;
  if (!::VerQueryValueW(resource.data(), subBlock.c_str(), &value, &length)) return nullptr;
  return value;
}

// Late-bound calls into the database engine.
hg::win::Variant CallByName(IDispatch* object, const wchar_t* name,
                            std::initializer_list<VARIANT> args) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  THROW_IF_FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
  std::vector<VARIANT> reversed(args.begin(), args.end());
  std::reverse(reversed.begin(), reversed.end());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  hg::win::Variant result;
  THROW_IF_FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                 result.put(), nullptr, nullptr));
  return result;
}

void CreateDaoDatabase(const std::wstring& path) {
  CLSID clsid;
  THROW_IF_FAILED(::CLSIDFromProgID(L"DAO.DBEngine", &clsid));
  hg::win::com_ptr<IDispatch> engine;
  THROW_IF_FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch,
                                     engine.put_void()));
  const hg::win::unique_bstr name = hg::win::MakeBstr(std::wstring_view(path));
  const hg::win::unique_bstr locale =
      hg::win::MakeBstr(std::wstring_view(L";LANGID=0x0409;CP=1252;COUNTRY=0"));
  VARIANT version;
  version.vt = VT_I4;
  version.lVal = 32;  // the version 3.0 database format
  hg::win::Variant database =
      CallByName(engine.get(), L"CreateDatabase",
                 {hg::win::BorrowedText(name.get()), hg::win::BorrowedText(locale.get()), version});
  if (database.type() != VT_DISPATCH || !database.get().pdispVal) hg::win::ThrowHResult(E_FAIL);
  CallByName(database.get().pdispVal, L"Close", {});
}

}  // namespace

std::string ExpandEnvironment(std::string_view text) {
  // The system expands at most this many characters, and cuts a longer text
  // or expansion without failing.
  constexpr std::size_t kLongest = 32766;
  const std::wstring source = Widen(text);
  const auto tooLong = [] {
    throw hg::win::RefusedText(
        "The text cannot be expanded whole: the system expands at most 32766 characters.");
  };
  if (source.size() > kLongest) tooLong();
  // An empty expansion still returns 1 (the terminator), so 0 is a failure.
  std::wstring buffer(1000, L'\0');
  for (;;) {
    const DWORD needed = ::ExpandEnvironmentStringsW(source.c_str(), buffer.data(),
                                                     static_cast<DWORD>(buffer.size()));
    if (needed == 0) ThrowErrorOfCode(::GetLastError());
    if (needed > kLongest + 1) tooLong();
    if (needed <= buffer.size()) return Narrow(std::wstring_view(buffer.data(), needed - 1));
    buffer.resize(needed);
  }
}

std::string ComputerName() {
  wchar_t name[256];
  DWORD length = static_cast<DWORD>(std::size(name));
  if (!::GetComputerNameW(name, &length)) ThrowErrorOfCode(::GetLastError());
  return Narrow(std::wstring_view(name, length));
}

std::string TempPath() { return Narrow(TempPathWide()); }

std::string CreateTempFile(std::string_view prefix) {
  // The prefix begins the file's name: a folder in it would put the file
  // outside the temporary folder.
  if (prefix.find_first_of("\\/") != std::string_view::npos ||
      prefix.find("..") != std::string_view::npos) {
    throw hg::win::RefusedText("The prefix of a temporary file holds a folder: '" +
                               std::string(prefix) + "'.");
  }
  return Narrow(CreateTempFileWide(Widen(prefix)));
}

std::string WindowsFolder() {
  return Narrow(ReadGrowing(1000, [](wchar_t* buffer, DWORD capacity) {
    return ::GetEnvironmentVariableW(L"windir", buffer, capacity);
  }));
}

WindowsVersionInfo QueryWindowsVersion() noexcept {
  WindowsVersionInfo info;
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExW(&version)) return info;
#pragma GCC diagnostic pop
  info.major = version.dwMajorVersion;
  info.minor = version.dwMinorVersion;
  info.build = version.dwBuildNumber & 0xFFFF;
  info.platformId = version.dwPlatformId;
  try {
    info.servicePack = Narrow(version.szCSDVersion);
  } catch (...) {
    info.servicePack.clear();
  }
  return info;
}

std::string CpuType() {
  SYSTEM_INFO system{};
  ::GetSystemInfo(&system);
  return CpuTypeText(system.dwProcessorType, system.wProcessorLevel, system.wProcessorRevision);
}

std::string FileVersion(std::string_view fileName) {
  std::vector<unsigned char> resource = VersionResource(Widen(fileName));
  if (resource.empty()) return {};
  UINT length = 0;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(QueryValue(resource, L"\\", length));
  if (!fixed || length < sizeof(VS_FIXEDFILEINFO)) return {};
  return FileVersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

std::vector<std::pair<std::string, std::string>> FileVersionStrings(std::string_view fileName) {
  static constexpr const char* kFields[] = {"CompanyName",    "FileDescription",
                                            "FileVersion",    "InternalName",
                                            "LegalCopyright", "OriginalFileName",
                                            "ProductName",    "ProductVersion"};
  std::vector<std::pair<std::string, std::string>> fields;
  std::vector<unsigned char> resource = VersionResource(Widen(fileName));
  if (resource.empty()) return fields;
  UINT length = 0;
  const auto* translation =
      static_cast<const WORD*>(QueryValue(resource, L"\\VarFileInfo\\Translation", length));
  if (!translation || length < 2 * sizeof(WORD)) return fields;
  const std::wstring block =
      L"\\StringFileInfo\\" + Widen(TranslationText(translation[0], translation[1])) + L"\\";
  for (const char* field : kFields) {
    const auto* value =
        static_cast<const wchar_t*>(QueryValue(resource, block + Widen(field), length));
    if (!value) continue;
    // The length counts characters; a truncated resource may lack the terminator.
    fields.emplace_back(field, Narrow(std::wstring_view(value, ::wcsnlen(value, length))));
  }
  return fields;
}

bool IsDaoAvailable() noexcept {
  std::wstring path;
  bool available = false;
  try {
    path = CreateTempFileWide(L"gk");
    ::DeleteFileW(path.c_str());
    CreateDaoDatabase(path);
    available = true;
  } catch (...) {
    available = false;
  }
  if (!path.empty()) ::DeleteFileW(path.c_str());
  ::SetErrorInfo(0, nullptr);
  return available;
}

bool IsDialUpConnected() {
  using EnumConnections = DWORD(WINAPI*)(RASCONNA*, DWORD*, DWORD*);
  DWORD status = ERROR_PROC_NOT_FOUND;
  DWORD count = 0;
  const hg::win::unique_hmodule ras(::LoadLibraryW(L"rasapi32.dll"));
  const auto enumerate =
      ras ? hg::win::GetProc<EnumConnections>(ras.get(), "RasEnumConnectionsA") : nullptr;
  if (enumerate) {
    std::vector<RASCONNA> connections(256);
    connections[0].dwSize = sizeof(RASCONNA);
    DWORD bytes = static_cast<DWORD>(connections.size() * sizeof(RASCONNA));
    status = enumerate(connections.data(), &bytes, &count);
  }
  PumpOneMessage();
  if (status != 0) return false;
  if (count > 0) return true;
  hg::win::ThrowHResult(E_NOTIMPL,
                        "Connectivity without a dial-up connection cannot be determined.");
}

void PumpOneMessage() noexcept {
  MSG message;
  if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

std::string ShellFolder(int csidl) {
  using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  const hg::win::unique_hmodule shell(::LoadLibraryW(L"shfolder.dll"));
  const auto getFolderPath =
      shell ? hg::win::GetProc<GetFolderPath>(shell.get(), "SHGetFolderPathW") : nullptr;
  if (!getFolderPath) return {};
  // The call writes up to MAX_PATH characters.
  std::array<wchar_t, MAX_PATH + 1> path{};
  if (getFolderPath(nullptr, csidl, nullptr, 0, path.data()) != S_OK) return {};
  const std::size_t length = ::wcsnlen(path.data(), MAX_PATH);
  return length == MAX_PATH ? std::string() : Narrow(std::wstring_view(path.data(), length));
}

}  // namespace tk
