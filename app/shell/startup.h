// The program's start: from the process start until the main window is ready
// for work, every early exit on the way. Each step is one call of
// StartupSystem, so that tests can make any of them fail.
#pragma once

#include <cstdint>
#include <string>

#include "app/engine/failure.h"

namespace app::shell {

// The source of every entry the start-up sequence writes.
inline constexpr char kInitializeSource[] = "FMain.Form_Initialize";

// The product's addresses, all in the reserved example domain.
inline constexpr char kHomePage[] = "https://www.example.com/hedgerow/";
inline constexpr char kWebAddress[] = "www.example.com/hedgerow";

// What the start-up sequence asks of the system. Any call may throw; the
// sequence decides what a failure means at each step.
class StartupSystem {
 public:
  virtual ~StartupSystem() = default;
  virtual std::string LocalApplicationDataFolder() = 0;
  virtual std::string MergeFolderAndSubobject(const std::string& folder,
                                              const std::string& name) = 0;
  virtual void EnsureFolderExist(const std::string& folder) = 0;
  // Creates the log writer with its main and short log file (both empty: a
  // writer that writes nowhere).
  virtual void OpenLog(const std::string& logFile, const std::string& shortLogFile) = 0;
  // One entry through the current log writer; never fails.
  virtual void LogIt(std::int32_t number, const std::string& description, Severity severity,
                     const std::string& source) noexcept = 0;
  // A one-line description of the system's version, and its platform id.
  virtual std::string WindowsVersion(std::int32_t& platformId) = 0;
  // The elevation check: false when the process must end (it has shown or
  // started what it had to).
  virtual bool CheckElevation() = 0;
  // Offers the log writer to the custom component, which may replace it.
  virtual void OfferLogToCustomComponent() = 0;
  // True when one object of each component library can be created; on false
  // `falseCause` holds the message to show.
  virtual bool CheckComponents(std::string& falseCause) = 0;
  // "%windir%" expanded; empty when it cannot be determined.
  virtual std::string ExpandWindowsFolder() = 0;
  // Reads the file's attributes and writes them back unchanged.
  virtual void RewriteAttributes(const std::string& path) = 0;
  virtual void ShowSplash() = 0;
  virtual void OpenSettingsStore() = 0;
  // Loads the main window, hidden, while the splash is up: its three seconds
  // cover the lists' reading.
  virtual void LoadMainWindow(const std::string& hostsFilePath) = 0;
  // Returns when the splash has gone.
  virtual void WaitForSplash() = 0;
  // The program's message box, OK button and stop icon.
  virtual void ShowStop(const std::string& message) = 0;
};

// The message of a component library that cannot be instantiated.
std::string ComponentMessage(const std::string& componentFile);

// The texts the sequence shows (strings 100 to 103 of the program's table).
struct StartupTexts {
  std::string productName;
  std::string noSystemFolder;
  std::string unknownWindowsVersion;
  std::string accessDenied;
};

struct StartupResult {
  bool goOn = false;
  std::string dataFolder;
  std::string hostsFilePath;
};

// The window's initialisation: data folder, log writer, checks, splash.
// goOn false: the process must end at once; what was due is shown and logged.
StartupResult InitializeProgram(StartupSystem& system, const StartupTexts& texts);

// The hosts file below a Windows folder for a platform id (1: the older
// family, 2: the NT family); empty for any other id.
std::string HostsFilePathOf(std::string windowsFolder, std::int32_t platformId);

// What loading and the first activation of the main window call.
class LoadSteps {
 public:
  virtual ~LoadSteps() = default;
  virtual void SetCaption() = 0;
  // Writes one backup; the outcome is the backup's own business.
  virtual void BackupConfiguration() = 0;
  virtual void InitTabStrip() = 0;
  virtual bool PasswordProtectionEnabled() = 0;
  // Shows the login dialog modally; true when the password was accepted.
  virtual bool AskPassword() = 0;
  virtual void LogIt(std::int32_t number, const std::string& description, Severity severity,
                     const std::string& source) noexcept = 0;
};

// Caption, automatic backup and tabs; a failure is logged and skips the rest.
void LoadMainWindow(LoadSteps& steps);

// The first activation asks for the password when protection is on; later
// ones do nothing. False: the password was refused and the process must end.
class FirstActivation {
 public:
  bool Activate(LoadSteps& steps);

 private:
  bool activated_ = false;
};

}  // namespace app::shell
