// Backup and restore on the program's stores.
#include "app/backup/backup_win.h"

#include <windows.h>
#include <oleauto.h>

#include "app/engine/hosts_file.h"
#include "app/engine/library_win.h"
#include "app/engine/mhgr_win.h"
#include "app/engine/open_file_dialog_win.h"
#include "app/engine/program_folder_win.h"
#include "common/win/com_win.h"
#include "common/win/file_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"

namespace app::backup {
namespace {

using hg::win::com_ptr;
using hg::win::MakeBstr;
using hg::win::Widen;

constexpr auto kCurrentUser = static_cast<enRegistryKey>(0x80000001);

com_ptr<_CRegistry> NewRegistry() {
  com_ptr<_CRegistry> registry;
  THROW_IF_FAILED(::CoCreateInstance(CLSID_CRegistry, nullptr, CLSCTX_INPROC_SERVER,
                                     IID__CRegistry, registry.put_void()));
  return registry;
}

// The texts of a collection, in its order.
std::vector<std::string> Texts(_CCollection& collection) {
  com_ptr<IUnknown> unknown;
  engine::Check(collection.NewEnum(unknown.put()));
  const auto walk = unknown.query<IEnumVARIANT>(IID_IEnumVARIANT);
  if (!walk) hg::win::ThrowHResult(E_NOINTERFACE);
  std::vector<std::string> texts;
  while (true) {
    hg::win::Variant item;
    ULONG fetched = 0;
    const HRESULT next = walk->Next(1, item.put(), &fetched);
    THROW_IF_FAILED(next);
    if (next != S_OK || fetched != 1) return texts;
    if (item.type() == VT_BSTR) texts.push_back(hg::win::FromBstr(item.get().bstrVal));
  }
}

LocalTime Now() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

MonthNames UserMonthNames() {
  MonthNames names{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int i = 0; i < 12; ++i) {
    wchar_t name[80];
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + i),
                         name, 80) > 1) {
      names[static_cast<std::size_t>(i)] = hg::win::Narrow(name);
    }
  }
  return names;
}

// The bytes of a backup file: its text in the system code page, with the
// line end every backup file has ended by.
std::string BackupBytes(const Configuration& configuration) {
  for (const auto* names : {&configuration.blocked, &configuration.unblocked}) {
    for (const std::string& site : *names) {
      // A look-alike or "?" in place of a character would restore another site.
      if (!hg::win::WideToAnsiExact(Widen(site))) {
        throw engine::UnsafeSiteName(site, "cannot be written in the backup file's character set.");
      }
    }
  }
  return hg::win::WideToAnsi(Widen(BackupText(configuration) + "\r\n"));
}

// Writes the file beside its place and moves it in, so that a failure or a
// crash never leaves a part of a backup under a backup's name.
void WriteWhole(const std::wstring& folder, const std::wstring& path, const std::string& bytes) {
  wchar_t temporary[MAX_PATH + 1] = {};
  THROW_IF_WIN32_BOOL_FALSE(::GetTempFileNameW(folder.c_str(), L"hgb", 0, temporary));
  try {
    {
      hg::win::unique_file_handle file(::CreateFileW(temporary, GENERIC_WRITE, 0, nullptr,
                                                     TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                     nullptr));
      THROW_LAST_ERROR_IF(!file);
      hg::win::WriteAll(file.get(), bytes);
      THROW_IF_WIN32_BOOL_FALSE(::FlushFileBuffers(file.get()));
    }
    THROW_IF_WIN32_BOOL_FALSE(
        ::MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  } catch (...) {
    ::DeleteFileW(temporary);
    throw;
  }
}

std::string ResourceText(int id) {
  const wchar_t* text = nullptr;
  // With a zero length LoadStringW hands out a pointer into the resource.
  const int length = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                   reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? hg::win::Narrow(std::wstring_view(text, static_cast<std::size_t>(length)))
                    : std::string();
}

}  // namespace

std::wstring ProgramBackupFolder() { return ProgramFolder() + L"\\Backup"; }

ProgramBackupEnvironment::ProgramBackupEnvironment(std::wstring folder,
                                                   std::function<void()> refreshLists,
                                                   ChooseFile choose)
    : folder_(std::move(folder)), refreshLists_(std::move(refreshLists)), choose_(std::move(choose)) {}

std::vector<std::string> ProgramBackupEnvironment::BlockedSites() {
  return engine::ReadBlockedSites();
}

std::vector<std::string> ProgramBackupEnvironment::UnblockedSites() {
  com_ptr<_CCollection> names;
  engine::Check(NewRegistry()->EnumValues(kCurrentUser, MakeBstr(kUnblockedKey).get(), names.put()));
  return names ? Texts(*names.get()) : std::vector<std::string>();
}

void ProgramBackupEnvironment::ApplyBlocked(const std::vector<std::string>& sites) {
  engine::ApplyBlocked(sites);
}

void ProgramBackupEnvironment::ReplaceUnblocked(const std::vector<std::string>& sites) {
  const com_ptr<_CRegistry> registry = NewRegistry();
  const hg::win::unique_bstr key = MakeBstr(kUnblockedKey);
  const hg::win::unique_bstr empty = MakeBstr(std::string_view());
  // The registry class answers false for what it cannot do; the list is then
  // what could be written.
  VARIANT_BOOL done = VARIANT_FALSE;
  engine::Check(registry->DeleteKey(kCurrentUser, key.get(), &done));
  for (const std::string& site : sites) {
    engine::Check(registry->SetSTRING(kCurrentUser, key.get(), MakeBstr(site).get(), empty.get(),
                                       &done));
  }
}

void ProgramBackupEnvironment::RefreshLists() noexcept {
  if (!refreshLists_) return;
  try {
    refreshLists_();
  } catch (...) {
    // The lists' own reload logs what it cannot load.
  }
}

std::string ProgramBackupEnvironment::WriteBackup(const Configuration& configuration) {
  const std::string bytes = BackupBytes(configuration);
  if (folder_.empty()) folder_ = ProgramBackupFolder();
  EnsureProgramFolder(folder_);
  const std::wstring path = folder_ + L"\\" + Widen(BackupFileName(Now(), UserMonthNames()));
  WriteWhole(folder_, path, bytes);
  return hg::win::Narrow(path);
}

std::string ProgramBackupEnvironment::ReadFile(const std::string& path) {
  BSTR text = nullptr;
  engine::Check(engine::SharedFileOps().LoadFile(MakeBstr(path).get(), &text));
  const hg::win::unique_bstr owned(text);
  return hg::win::FromBstr(owned.get());
}

std::optional<std::string> ProgramBackupEnvironment::ChooseBackupFile() {
  if (folder_.empty()) folder_ = ProgramBackupFolder();
  OpenFileRequest request;
  request.title = "Select Backup File To Restore";
  request.filters = {{"Backup Files (*.bak)", "*.bak"}, {"All Files", "*.*"}};
  request.initialFolder = hg::win::Narrow(folder_);
  return choose_(request);
}

std::string ProgramBackupEnvironment::Text(int id, const std::string& parameter) noexcept {
  try {
    const std::string text = ResourceText(id);
    if (parameter.empty()) return text;
    try {
      return engine::FormatString(text, {parameter});
    } catch (...) {
      return text;
    }
  } catch (...) {
    return {};
  }
}

bool BackupConfiguration(std::string& falseCause) {
  ProgramBackupEnvironment environment({}, {}, {});
  return BackupConfiguration(environment, falseCause);
}

void BackupCurrentSettings() {
  ProgramBackupEnvironment environment({}, {}, {});
  BackupCommand(environment);
}

void RestoreSettings(std::function<void()> refreshLists) {
  ProgramBackupEnvironment environment({}, std::move(refreshLists), [](const OpenFileRequest& request) {
    return ShowOpenFileDialog(::GetActiveWindow(), request);
  });
  RestoreCommand(environment);
}

}  // namespace app::backup
