// Backup and restore of the configuration.
#include "app/backup/backup.h"

#include <algorithm>

#include "app/engine/failure.h"
#include "app/engine/hosts_file.h"
#include "app/engine/user_dialogs.h"

namespace app::backup {
namespace {

constexpr char kBackupSource[] = "FMain.mnuBackup_Click";
constexpr char kRestoreSource[] = "FMain.mnuRestore_Click";
constexpr std::string_view kBlockedMarker = "blocked:";
constexpr std::string_view kUnblockedMarker = "unblocked:";

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Where `marker` (lowercase ASCII) first starts in text, in any letter case.
std::size_t FindMarker(std::string_view text, std::string_view marker) {
  const auto found = std::search(text.begin(), text.end(), marker.begin(), marker.end(),
                                 [](char a, char b) { return AsciiLower(a) == b; });
  return found == text.end() ? std::string_view::npos
                             : static_cast<std::size_t>(found - text.begin());
}

// The text without line breaks and without `marker` in any letter case, in
// one pass, trimmed of blanks.
std::string Cleaned(std::string_view text, std::string_view marker) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t at = FindMarker(text, marker);
    for (char c : text.substr(0, at)) {
      if (c != '\r' && c != '\n') out += c;
    }
    if (at == std::string_view::npos) break;
    text.remove_prefix(at + marker.size());
  }
  const std::size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

// The names between the commas, trimmed of blanks; empty ones are dropped
// (an empty name can neither be blocked nor stored as a site).
std::vector<std::string> Names(std::string_view list) {
  std::vector<std::string> names;
  while (true) {
    const std::size_t comma = list.find(',');
    std::string_view name = list.substr(0, comma);
    const std::size_t first = name.find_first_not_of(' ');
    if (first != std::string_view::npos) {
      name = name.substr(first, name.find_last_not_of(' ') - first + 1);
      names.emplace_back(name);
    }
    if (comma == std::string_view::npos) return names;
    list.remove_prefix(comma + 1);
  }
}

void AppendJoined(std::string& out, const std::vector<std::string>& names) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += ", ";
    out += names[i];
  }
}

std::string TwoDigits(int value) {
  return std::string{static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

// A month name goes into a file name: nothing in it may name another folder.
std::string FileNameSafe(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte != 127 && std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos) {
      out += c;
    }
  }
  return out;
}

// A restore writes only names the program's own backups could hold: the
// blocked ones must make entry lines that read back, and no name may hold a
// control character.
void RequireRestorable(const Configuration& configuration) {
  engine::RequireSafeSiteNames(configuration.blocked);
  for (const std::string& site : configuration.unblocked) {
    const bool control = std::any_of(site.begin(), site.end(), [](char c) {
      return static_cast<unsigned char>(c) < 32 || c == 127;
    });
    if (control) throw engine::UnsafeSiteName(site);
  }
}

Configuration CurrentConfiguration(BackupEnvironment& environment) {
  Configuration current;
  current.blocked = environment.BlockedSites();
  current.unblocked = environment.UnblockedSites();
  return current;
}

void Show(const std::string& prompt, int icon) noexcept {
  try {
    AppMsgBox(prompt, kOkOnly + icon, "");
  } catch (...) {
    // Nothing is left to report a message box that cannot be shown to.
  }
}

}  // namespace

std::string BackupText(const Configuration& configuration) {
  std::string text = "Blocked: ";
  AppendJoined(text, configuration.blocked);
  text += "\r\nUnblocked: ";
  AppendJoined(text, configuration.unblocked);
  text += "\r\n";
  return text;
}

std::optional<Configuration> ParseBackup(std::string_view text) {
  const std::size_t unblocked = FindMarker(text, kUnblockedMarker);
  if (unblocked == std::string_view::npos) return std::nullopt;
  // The blocked marker must stand before the unblocked one, not inside it.
  const std::size_t blocked = FindMarker(text, kBlockedMarker);
  if (blocked >= unblocked) return std::nullopt;
  Configuration configuration;
  configuration.blocked = Names(Cleaned(text.substr(0, unblocked), kBlockedMarker));
  configuration.unblocked = Names(Cleaned(text.substr(unblocked), kUnblockedMarker));
  return configuration;
}

std::string BackupFileName(const LocalTime& time, const MonthNames& months, int copy) {
  const std::string& month = months.at(static_cast<std::size_t>(time.month - 1));
  return "Backup " + FileNameSafe(month) + " " + TwoDigits(time.day) + ", " +
         TwoDigits(time.year / 100) + TwoDigits(time.year) + " " + TwoDigits(time.hour) + "-" +
         TwoDigits(time.minute) + "-" + TwoDigits(time.second) +
         (copy > 1 ? " (" + std::to_string(copy) + ")" : "") + ".bak";
}

bool BackupConfiguration(BackupEnvironment& environment, std::string& falseCause) {
  bool written = false;
  Trapped([&] {
    environment.WriteBackup(CurrentConfiguration(environment));
    written = true;
  }, [&](const Failure& failure) {
    falseCause = failure.description();
    SwallowFailure(failure, kBackupSource, Severity::kInternalError);
  });
  return written;
}

void BackupCommand(BackupEnvironment& environment) {
  std::string reason;
  if (BackupConfiguration(environment, reason)) {
    Show(environment.Text(kBackupComplete), kIconInformation);
  } else {
    Show(environment.Text(kCannotBackup) + reason, kIconExclamation);
  }
}

void RestoreCommand(BackupEnvironment& environment) {
  std::optional<std::string> path;
  Trapped([&] {
    OpenFileRequest request;
    request.title = "Select Backup File To Restore";
    request.filters = {{"Backup Files (*.bak)", "*.bak"}, {"All Files", "*.*"}};
    request.initialFolder = environment.BackupFolder();
    path = AppOpenFile(request);
  },
          [&](const Failure& failure) { SwallowFailure(failure, kRestoreSource); });
  if (!path) return;

  bool restored = false;
  bool changing = false;
  Trapped([&] {
    const std::optional<Configuration> chosen = ParseBackup(environment.ReadFile(*path));
    if (!chosen) {
      Show(environment.Text(kInvalidBackupFile, *path), kIconExclamation);
      return;
    }
    try {
      RequireRestorable(*chosen);
    } catch (const engine::UnsafeSiteName& unsafe) {
      Show(environment.Text(kInvalidBackupFile, *path) + unsafe.what(), kIconExclamation);
      return;
    }
    // The current configuration is kept first, so that the restore can be undone.
    std::string undo;
    try {
      undo = environment.WriteBackup(CurrentConfiguration(environment));
    } catch (...) {
      const Failure failure = FailureOf(std::current_exception());
      throw Failure(failure.number(), environment.Text(kCannotBackup) + failure.description());
    }
    // The hosts file first: when it cannot be written, the registry list stays.
    changing = true;
    environment.ApplyBlocked(chosen->blocked);
    environment.ReplaceUnblocked(chosen->unblocked);
    environment.RefreshLists();
    SwallowFailure(Failure(0, environment.Text(kBackupRestored) + " The configuration before it is in '" +
                                  undo + "'."),
                   kRestoreSource, Severity::kInformational);
    restored = true;
  }, [&](const Failure& failure) {
    // The lists on screen show what the stores hold after a partial restore.
    if (changing) environment.RefreshLists();
    ReportFailure(failure, kRestoreSource, environment.Text(kCannotRestore, *path), kIconExclamation);
  });
  if (restored) Show(environment.Text(kBackupRestored), kIconInformation);
}

}  // namespace app::backup
