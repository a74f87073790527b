// Backup and restore of the configuration: the backup file's text and name,
// and the backup and restore commands over the stores they work on.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/resource.h"

namespace app::backup {

// Both lists, site names in UTF-8.
struct Configuration {
  std::vector<std::string> blocked;
  std::vector<std::string> unblocked;
};

// The backup file's text: "Blocked: " and "Unblocked: " lines, names joined
// by ", ", each line ended by CR LF.
std::string BackupText(const Configuration& configuration);

// The lists a backup text holds, read leniently: markers in any letter case,
// line breaks ignored, names split at commas and trimmed of blanks, empty
// names dropped. Nothing when the text holds no "blocked:" marker before an
// "unblocked:" one.
std::optional<Configuration> ParseBackup(std::string_view text);

// A local date and time, month 1 to 12, hour 0 to 23.
struct LocalTime {
  int year, month, day, hour, minute, second;
};
using MonthNames = std::array<std::string, 12>;

// "Backup <mmm dd, yyyy hh-mm-ss>.bak", mmm being `months` (the user's
// abbreviated month names, UTF-8) for the month. A second backup in the same
// second is `copy` 2, "Backup <...> (2).bak", and so on: none replaces another.
std::string BackupFileName(const LocalTime& time, const MonthNames& months, int copy = 1);

// String ids of the messages.
enum BackupMessage : int {
  kBackupComplete = IDS_BACKUP_COMPLETE,
  kInvalidBackupFile = IDS_INVALID_BACKUP_FILE,
  kCannotRestore = IDS_CANNOT_RESTORE,
  kCannotBackup = IDS_CANNOT_BACKUP,
  kBackupRestored = IDS_BACKUP_RESTORED,
};

// What backup and restore read and write. The program's stores and files at
// the edge; tests bring their own. Every operation throws on failure.
class BackupEnvironment {
 public:
  virtual ~BackupEnvironment() = default;
  virtual std::vector<std::string> BlockedSites() = 0;
  virtual std::vector<std::string> UnblockedSites() = 0;
  // The hosts file blocks exactly `sites` afterwards.
  virtual void ApplyBlocked(const std::vector<std::string>& sites) = 0;
  // The registry list holds exactly `sites` afterwards, as far as it can be written.
  virtual void ReplaceUnblocked(const std::vector<std::string>& sites) = 0;
  // Reloads both lists on screen; never fails.
  virtual void RefreshLists() noexcept = 0;
  // Writes a new backup file in the backup folder, whole or not at all; returns its path.
  virtual std::string WriteBackup(const Configuration& configuration) = 0;
  virtual std::string ReadFile(const std::string& path) = 0;
  // Where backup files go, where the restore's file dialog opens.
  virtual std::string BackupFolder() = 0;
  // Message `id` of the string table with "%1" replaced by `parameter`; never fails.
  virtual std::string Text(int id, const std::string& parameter = {}) noexcept = 0;
};

// Writes one backup of the current configuration. On failure logs it and
// returns false with the failure's description in falseCause.
bool BackupConfiguration(BackupEnvironment& environment, std::string& falseCause);

// The backup menu command: a backup, then its outcome in a message box.
void BackupCommand(BackupEnvironment& environment);

// The restore menu command: a file the user picks in the open-file dialog
// replaces both lists, after a backup of the current ones that undoes it.
void RestoreCommand(BackupEnvironment& environment);

}  // namespace app::backup
