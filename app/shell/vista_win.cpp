// MVista's answers from the system.
#include "app/shell/vista_win.h"

#include <shellapi.h>

#include <vector>

#include "common/product_ids.h"
#include "common/win/file_win.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"

namespace app::shell {
namespace {

using unique_sid = hg::win::unique_any<hg::win::NullTraits<PSID, ::FreeSid>>;

// Token information of a class, in a buffer of the size the system asks for,
// aligned for the structures it holds. Empty when it cannot be read.
std::vector<std::uint64_t> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
  DWORD size = 0;
  ::GetTokenInformation(token, kind, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<std::uint64_t> buffer((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
  if (!::GetTokenInformation(token, kind, buffer.data(), size, &size)) return {};
  return buffer;
}

std::wstring ProgramFolder() {
  const std::wstring path = hg::win::ModuleFileName(nullptr);
  return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring WindowsFolder() {
  const UINT size = ::GetWindowsDirectoryW(nullptr, 0);
  if (size == 0) return {};
  std::wstring folder(size, L'\0');
  folder.resize(::GetWindowsDirectoryW(folder.data(), size));
  return folder;
}

}  // namespace

bool IsVistaFamily() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 6;
}

bool IsUACEnabled() {
  DWORD value = 0;
  DWORD size = sizeof(value);
  const LSTATUS status = ::RegGetValueW(
      HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
      L"EnableLUA", RRF_RT_REG_DWORD, nullptr, &value, &size);
  return status == ERROR_SUCCESS && value != 0;
}

bool GroupsContain(const TOKEN_GROUPS& groups, PSID sid) {
  if (!::IsValidSid(sid)) return false;
  // A group present only to deny access counts as membership too.
  for (DWORD i = 0; i < groups.GroupCount; ++i) {
    const PSID group = groups.Groups[i].Sid;
    if (::IsValidSid(group) && ::EqualSid(group, sid)) return true;
  }
  return false;
}

bool IsUserAdmin(std::int32_t& elevationType) {
  elevationType = kElevationUnknown;
  hg::win::unique_handle token;
  if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.put()) &&
      !::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
    return false;
  }
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenElevationType, nullptr, 0, &size);
  if (size != 0) {
    const auto type = TokenInformation(token.get(), TokenElevationType);
    if (type.empty()) return false;
    elevationType = static_cast<std::int32_t>(*reinterpret_cast<const DWORD*>(type.data()));
  }
  // Groups come in a buffer sized from what the token reports, however many.
  const auto groups = TokenInformation(token.get(), TokenGroups);
  if (groups.empty()) return false;
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  unique_sid administrators;
  if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  administrators.put())) {
    return false;
  }
  return GroupsContain(*reinterpret_cast<const TOKEN_GROUPS*>(groups.data()), administrators.get());
}

std::wstring ShortPathName(const std::wstring& path) {
  const std::wstring longPath = L"\\\\?\\" + path;
  std::wstring buffer(1000, L'\0');
  DWORD length = ::GetShortPathNameW(longPath.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  // A longer short path reports the room it needs instead of filling the buffer.
  if (length >= buffer.size()) {
    buffer.resize(length);
    length = ::GetShortPathNameW(longPath.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length >= buffer.size()) return {};
  }
  if (length == 0) return {};
  buffer.resize(length);
  return buffer.compare(0, 4, L"\\\\?\\") == 0 ? buffer.substr(4) : buffer;
}

bool TakeRestartedMark() {
  const std::wstring name = hg::win::Widen(hg::product::kRestartedVariable);
  wchar_t value[8] = {};
  const DWORD length = ::GetEnvironmentVariableW(name.c_str(), value, 8);
  ::SetEnvironmentVariableW(name.c_str(), nullptr);
  return length > 0 && length < 8 && hg::win::Narrow(value) == hg::product::kRestartedValue;
}

void SystemElevation::RestartElevated() {
  const std::wstring launcher = WindowsFolder() + L"\\system32\\rundll32.exe";
  const std::wstring folder = ProgramFolder();
  // A volume without short names leaves the folder as it is.
  std::wstring shortFolder = ShortPathName(folder);
  if (shortFolder.empty()) shortFolder = folder;
  const std::wstring parameters = hg::win::Widen(LauncherParameters(hg::win::Narrow(shortFolder)));
  trace_(LauncherTrace(hg::win::Narrow(launcher), hg::win::Narrow(parameters)));
  // The process ends whatever comes of it: the launcher starts the next one.
  ::ShellExecuteW(nullptr, L"runas", launcher.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace app::shell
