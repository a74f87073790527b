// Backup and restore on the program's stores: the hosts file, the registry
// list of unblocked sites, backup files in the program's "Backup" folder.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "app/backup/backup.h"
#include "app/lists/site_stores_win.h"

namespace app::backup {

// The program's folder followed by "\Backup".
std::wstring ProgramBackupFolder();

class ProgramBackupEnvironment final : public BackupEnvironment {
 public:
  // `folder`: where backups go (empty: the program's); `refreshLists`
  // reloads the lists on screen.
  ProgramBackupEnvironment(std::wstring folder, std::function<void()> refreshLists);

  std::vector<std::string> BlockedSites() override;
  // The blocked sites as BlockedSites last read them, taken out.
  std::optional<std::vector<std::string>> TakeBlockedRead() { return std::exchange(blockedRead_, {}); }
  // The hosts file as BlockedSites found it.
  const std::optional<engine::HostsSnapshot>& HostsSeen() const noexcept { return stores_.seen(); }
  std::vector<std::string> UnblockedSites() override;
  void ApplyBlocked(const std::vector<std::string>& sites) override;
  void ReplaceUnblocked(const std::vector<std::string>& sites) override;
  void RefreshLists() noexcept override;
  std::string WriteBackup(const Configuration& configuration) override;
  std::string ReadFile(const std::string& path) override;
  std::string BackupFolder() override;
  std::string Text(int id, const std::string& parameter = {}) noexcept override;

 private:
  const std::wstring& Folder();

  std::wstring folder_;
  std::function<void()> refreshLists_;
  lists::SystemSiteStores stores_;
  std::optional<std::vector<std::string>> blockedRead_;
};

// The main window's entry points. BackupConfiguration: the automatic backup
// at start, whose failure only the log records; it hands the hosts file as
// it read it to `lists` for their first fill.
void BackupConfiguration(lists::SystemSiteStores& lists);
// "&Backup Current Settings".
void BackupCurrentSettings();
// "&Restore..."; `refreshLists` reloads both site lists afterwards.
void RestoreSettings(std::function<void()> refreshLists);

}  // namespace app::backup
