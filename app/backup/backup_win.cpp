// Backup and restore on the program's stores.
#include "app/backup/backup_win.h"

#include <windows.h>
#include <oleauto.h>

#include "app/engine/hosts_file.h"
#include "app/engine/library_win.h"
#include "app/engine/program_folder_win.h"
#include "common/win/com_win.h"
#include "common/win/file_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/unique_any.h"

namespace app::backup {
namespace {

using hg::win::MakeBstr;
using hg::win::Widen;

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
      if (site.find(',') != std::string::npos) {
        throw engine::UnsafeSiteName(site, "holds a comma, which a backup file reads as two names.");
      }
    }
  }
  // A look-alike or "?" in place of a character would restore another site.
  // The whole text is converted at once; only when that fails is the name
  // to blame looked for.
  if (auto bytes = hg::win::WideToAnsiExact(Widen(BackupText(configuration) + "\r\n"))) return *bytes;
  for (const auto* names : {&configuration.blocked, &configuration.unblocked}) {
    for (const std::string& site : *names) {
      if (!hg::win::WideToAnsiExact(Widen(site))) {
        throw engine::UnsafeSiteName(site, "cannot be written in the backup file's character set.");
      }
    }
  }
  throw engine::UnsafeSiteName("", "cannot be written in the backup file's character set.");
}

// Writes the file beside its place and moves it in under the first name
// `nameOf(copy)` no file has, so that a failure or a crash never leaves a
// part of a backup under a backup's name and no backup replaces another.
std::wstring WriteWhole(const std::wstring& folder, const std::function<std::string(int)>& nameOf,
                        const std::string& bytes) {
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
    constexpr int kMostCopies = 100;
    for (int copy = 1;; ++copy) {
      const std::wstring path = folder + L"\\" + Widen(nameOf(copy));
      if (::MoveFileExW(temporary, path.c_str(), MOVEFILE_WRITE_THROUGH)) return path;
      const DWORD error = ::GetLastError();
      if ((error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) || copy == kMostCopies) {
        hg::win::ThrowHResult(HRESULT_FROM_WIN32(error));
      }
    }
  } catch (...) {
    ::DeleteFileW(temporary);
    throw;
  }
}

}  // namespace

std::wstring ProgramBackupFolder() { return ProgramFolder() + L"\\Backup"; }

ProgramBackupEnvironment::ProgramBackupEnvironment(std::wstring folder,
                                                   std::function<void()> refreshLists)
    : folder_(std::move(folder)), refreshLists_(std::move(refreshLists)) {}

const std::wstring& ProgramBackupEnvironment::Folder() {
  if (folder_.empty()) folder_ = ProgramBackupFolder();
  return folder_;
}

std::vector<std::string> ProgramBackupEnvironment::BlockedSites() {
  blockedRead_ = stores_.ReadBlocked();
  return *blockedRead_;
}

std::vector<std::string> ProgramBackupEnvironment::UnblockedSites() {
  return stores_.ReadUnblocked();
}

void ProgramBackupEnvironment::ApplyBlocked(const std::vector<std::string>& sites) {
  stores_.ApplyBlocked(sites);
}

void ProgramBackupEnvironment::ReplaceUnblocked(const std::vector<std::string>& sites) {
  // The registry class answers false for what it cannot do; the list is then
  // what could be written.
  stores_.DeleteUnblockedKey();
  for (const std::string& site : sites) stores_.SetUnblocked(site);
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
  EnsureProgramFolder(Folder());
  const LocalTime now = Now();
  const MonthNames months = UserMonthNames();
  return hg::win::Narrow(
      WriteWhole(Folder(), [&](int copy) { return BackupFileName(now, months, copy); }, bytes));
}

std::string ProgramBackupEnvironment::ReadFile(const std::string& path) {
  BSTR text = nullptr;
  engine::Check(engine::SharedFileOps().LoadFile(MakeBstr(path).get(), &text));
  const hg::win::unique_bstr owned(text);
  return hg::win::FromBstr(owned.get());
}

std::string ProgramBackupEnvironment::BackupFolder() { return hg::win::Narrow(Folder()); }

std::string ProgramBackupEnvironment::Text(int id, const std::string& parameter) noexcept {
  try {
    return stores_.Text(id, parameter.empty() ? std::vector<std::string>() : std::vector{parameter});
  } catch (...) {
    // The text without its parameter still says what happened.
    try {
      return stores_.Text(id, {});
    } catch (...) {
      return {};
    }
  }
}

void BackupConfiguration(lists::SystemSiteStores& lists) {
  ProgramBackupEnvironment environment({}, {});
  std::string ignored;
  BackupConfiguration(environment, ignored);
  if (auto blocked = environment.TakeBlockedRead()) {
    lists.HandOver(std::move(*blocked), environment.HostsSeen());
  }
}

void BackupCurrentSettings() {
  ProgramBackupEnvironment environment({}, {});
  BackupCommand(environment);
}

void RestoreSettings(std::function<void()> refreshLists) {
  ProgramBackupEnvironment environment({}, std::move(refreshLists));
  RestoreCommand(environment);
}

}  // namespace app::backup
