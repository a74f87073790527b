// The program's start.
#include "app/shell/startup.h"

#include <optional>

#include "app/shell/version.h"

namespace app::shell {
namespace {

constexpr std::int32_t kPlatformWindows = 1;
constexpr std::int32_t kPlatformNt = 2;

// Runs one step; a failure leaves `fallback` and is handed back.
template <typename T, typename Step>
T Attempt(Step&& step, T fallback, std::optional<Failure>& failed) {
  try {
    return step();
  } catch (...) {
    failed = FailureOf(std::current_exception());
    return fallback;
  }
}

template <typename Step>
void Attempt(Step&& step, std::optional<Failure>& failed) {
  try {
    step();
  } catch (...) {
    failed = FailureOf(std::current_exception());
  }
}

void LogLast(StartupSystem& system, std::optional<Failure>& failed) {
  if (!failed) return;
  system.LogIt(failed->number(), failed->description(), Severity::kError, kInitializeSource);
  failed.reset();
}

}  // namespace

std::string ComponentMessage(const std::string& componentFile) {
  return "Component '" + componentFile +
         "' or one of its dependencies not correctly registered: a file is missing or "
         "invalid. Try to reinstall Hedgerow.";
}

std::string HostsFilePathOf(std::string windowsFolder, std::int32_t platformId) {
  if (windowsFolder.empty() || windowsFolder.back() != '\\') windowsFolder += '\\';
  if (platformId == kPlatformWindows) return windowsFolder + "hosts";
  if (platformId == kPlatformNt) return windowsFolder + "system32\\drivers\\etc\\hosts";
  return {};
}

StartupResult InitializeProgram(StartupSystem& system, const StartupTexts& texts) {
  StartupResult result;
  // Steps up to the custom component leave no trace of their failures.
  std::optional<Failure> ignored;
  const std::string localData =
      Attempt([&] { return system.LocalApplicationDataFolder(); }, std::string(), ignored);
  // Without the user's folder the log writes nowhere: a path made of
  // "Hedgerow" alone would land wherever the current folder happens to be.
  if (!localData.empty()) {
    result.dataFolder = Attempt(
        [&] { return system.MergeFolderAndSubobject(localData, "Hedgerow"); }, std::string(),
        ignored);
  }
  if (!result.dataFolder.empty()) Attempt([&] { system.EnsureFolderExist(result.dataFolder); }, ignored);
  const auto logFile = [&](const char* name) {
    return result.dataFolder.empty() ? std::string() : result.dataFolder + "\\" + name;
  };
  Attempt([&] { system.OpenLog(logFile("HGRW.log"), logFile("short.log")); }, ignored);

  const auto trace = [&](const std::string& text) {
    system.LogIt(0, text, Severity::kTrace, kInitializeSource);
  };
  trace("********** start app");
  trace(texts.productName + " ver." + std::to_string(HG_VERSION_MAJOR) + "." +
        std::to_string(HG_VERSION_MINOR) + "." + std::to_string(HG_VERSION_REVISION));
  std::int32_t platformId = 0;
  trace("Windows: " +
        Attempt([&] { return system.WindowsVersion(platformId); }, std::string(), ignored));

  if (!Attempt([&] { return system.CheckElevation(); }, true, ignored)) return result;
  Attempt([&] { system.OfferLogToCustomComponent(); }, ignored);

  std::string falseCause;
  std::optional<Failure> checkFailed;
  if (!Attempt([&] { return system.CheckComponents(falseCause); }, false, checkFailed)) {
    // A check that could not even run names its own failure.
    if (falseCause.empty() && checkFailed) falseCause = checkFailed->description();
    Attempt([&] { system.ShowStop(falseCause); }, ignored);
    system.LogIt(0, falseCause, Severity::kInternalError, kInitializeSource);
    return result;
  }

  const std::string windowsFolder =
      Attempt([&] { return system.ExpandWindowsFolder(); }, std::string(), ignored);
  if (windowsFolder.empty()) {
    Attempt([&] { system.ShowStop(texts.noSystemFolder); }, ignored);
    return result;
  }
  result.hostsFilePath = HostsFilePathOf(windowsFolder, platformId);
  if (result.hostsFilePath.empty()) {
    Attempt([&] { system.ShowStop(texts.unknownWindowsVersion); }, ignored);
    return result;
  }

  std::optional<Failure> denied;
  Attempt([&] { system.RewriteAttributes(result.hostsFilePath); }, denied);
  if (denied) {
    Attempt([&] { system.ShowStop(texts.accessDenied); }, ignored);
    return result;
  }

  std::optional<Failure> failed;
  Attempt([&] { system.ShowSplash(); }, failed);
  Attempt([&] { system.OpenSettingsStore(); }, failed);
  LogLast(system, failed);
  Attempt([&] { system.LoadMainWindow(result.hostsFilePath); }, ignored);
  Attempt([&] { system.WaitForSplash(); }, ignored);
  result.goOn = true;
  return result;
}

void LoadMainWindow(LoadSteps& steps) {
  Trapped(
      [&] {
        steps.SetCaption();
        steps.BackupConfiguration();
        steps.InitTabStrip();
      },
      [&](const Failure& failure) {
        steps.LogIt(failure.number(), failure.description(), Severity::kInternalError,
                    "FMain.Form_Load");
      });
}

bool FirstActivation::Activate(LoadSteps& steps) {
  if (activated_) return true;
  bool granted = true;
  Trapped(
      [&] {
        if (!steps.PasswordProtectionEnabled()) return;
        // A password check that fails must not let the user in.
        granted = false;
        granted = steps.AskPassword();
      },
      [&](const Failure& failure) {
            steps.LogIt(failure.number(), failure.description(), Severity::kInternalError,
                        "FMain.Form_Activate");
          });
  activated_ = true;
  return granted;
}

}  // namespace app::shell
