// The start-up sequence's system side: the library's objects, the custom
// component, the component check, the hosts file's access check.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>

#include "app/engine/library_win.h"
#include "app/shell/startup.h"

namespace app::shell {

// The program's one log writer: created at start-up; the custom component
// may hand back another.
class ProgramLog final : public FailureLog {
 public:
  // Empty paths: a writer that writes nowhere.
  void Open(const std::string& logFile, const std::string& shortLogFile);
  void LogIt(std::int32_t number, const std::string& description, Severity severity,
             const std::string& source) noexcept override;
  // Calls the component's "Init" late bound with the writer by reference, and
  // keeps what it hands back when that is a log writer too.
  void OfferTo(IDispatch& component);
  _axLog* writer() const noexcept { return log_ ? log_->writer().get() : nullptr; }

 private:
  std::unique_ptr<engine::AxLogFailureLog> log_;
};

// Creates one object of each component library; on failure `falseCause`
// names the library that failed.
bool CheckComponents(std::string& falseCause);

// What the entry point supplies: the splash, the settings store, the main
// window.
struct StartupHooks {
  std::function<void()> showSplash;
  std::function<void()> waitForSplash;
  std::function<void()> openSettingsStore;
  std::function<void(const std::string& hostsFilePath)> loadMainWindow;
};

class SystemStartup final : public StartupSystem {
 public:
  SystemStartup(ProgramLog& log, StartupHooks hooks) : log_(log), hooks_(std::move(hooks)) {}

  std::string LocalApplicationDataFolder() override;
  std::string MergeFolderAndSubobject(const std::string& folder, const std::string& name) override;
  void EnsureFolderExist(const std::string& folder) override;
  void OpenLog(const std::string& logFile, const std::string& shortLogFile) override;
  void LogIt(std::int32_t number, const std::string& description, Severity severity,
             const std::string& source) noexcept override;
  std::string WindowsVersion(std::int32_t& platformId) override;
  bool CheckElevation() override;
  void OfferLogToCustomComponent() override;
  bool CheckComponents(std::string& falseCause) override {
    return shell::CheckComponents(falseCause);
  }
  std::string ExpandWindowsFolder() override;
  void RewriteAttributes(const std::string& path) override;
  void ShowSplash() override { if (hooks_.showSplash) hooks_.showSplash(); }
  void OpenSettingsStore() override { if (hooks_.openSettingsStore) hooks_.openSettingsStore(); }
  void LoadMainWindow(const std::string& hostsFilePath) override {
    if (hooks_.loadMainWindow) hooks_.loadMainWindow(hostsFilePath);
  }
  void WaitForSplash() override { if (hooks_.waitForSplash) hooks_.waitForSplash(); }
  void ShowStop(const std::string& message) override;

 private:
  ProgramLog& log_;
  StartupHooks hooks_;
};

}  // namespace app::shell
