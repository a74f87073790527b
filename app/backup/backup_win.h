// Backup and restore on the program's stores: the hosts file, the registry
// list of unblocked sites, backup files in the program's "Backup" folder.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/backup/backup.h"
#include "app/engine/open_file_request.h"

namespace app::backup {

// The registry key of the unblocked sites, below HKEY_CURRENT_USER.
inline constexpr char kUnblockedKey[] = "Software\\Tarnwick Software\\Hedgerow\\Unblocked Web Sites";

// The program's folder followed by "\Backup".
std::wstring ProgramBackupFolder();

using ChooseFile = std::function<std::optional<std::string>(const OpenFileRequest&)>;

class ProgramBackupEnvironment final : public BackupEnvironment {
 public:
  // `refreshLists` reloads the lists on screen; `choose` shows the open-file dialog.
  ProgramBackupEnvironment(std::wstring folder, std::function<void()> refreshLists,
                           ChooseFile choose);

  std::vector<std::string> BlockedSites() override;
  std::vector<std::string> UnblockedSites() override;
  void ApplyBlocked(const std::vector<std::string>& sites) override;
  void ReplaceUnblocked(const std::vector<std::string>& sites) override;
  void RefreshLists() noexcept override;
  std::string WriteBackup(const Configuration& configuration) override;
  std::string ReadFile(const std::string& path) override;
  std::optional<std::string> ChooseBackupFile() override;
  std::string Text(int id, const std::string& parameter = {}) noexcept override;

 private:
  std::wstring folder_;
  std::function<void()> refreshLists_;
  ChooseFile choose_;
};

// The main window's entry points. BackupConfiguration: the automatic backup
// at start (its result may be ignored) and the backup behind the menu.
bool BackupConfiguration(std::string& falseCause);
// "&Backup Current Settings".
void BackupCurrentSettings();
// "&Restore..."; `refreshLists` reloads both site lists afterwards.
void RestoreSettings(std::function<void()> refreshLists);

}  // namespace app::backup
