// The program's entry point: COM once on this, the user-interface thread; the
// services; the start-up sequence with its splash; the main window and the
// message loop. An early exit of start-up ends the program before the main
// window is shown.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <optional>
#include <string>

#include "app/backup/backup_win.h"
#include "app/engine/library_win.h"
#include "app/engine/services.h"
#include "app/engine/strings_win.h"
#include "app/protection/dialogs_win.h"
#include "app/protection/protection.h"
#include "app/protection/settings_store_win.h"
#include "app/resource.h"
#include "app/shell/main_window_win.h"
#include "app/shell/splash_win.h"
#include "app/shell/startup_win.h"
#include "app/ui/message_loop_win.h"
#include "app/ui/system_dialogs_win.h"
#include "common/win/text_win.h"

namespace {

constexpr int kStopped = 1;

// What loading and the first activation of the main window call.
class MainWindowLoad final : public app::shell::LoadSteps {
 public:
  MainWindowLoad(app::shell::MainWindow& window, app::Services& services,
                 std::optional<app::protection::ProgramSettings>& settings)
      : window_(window), services_(services), settings_(settings) {}
  void SetCaption() override {
    ::SetWindowTextW(window_.handle(), app::ProgramWideString(IDS_PRODUCT_NAME).c_str());
  }
  void BackupConfiguration() override { app::backup::BackupConfiguration(window_.stores()); }
  void InitTabStrip() override { window_.InitTabStrip(); }
  bool PasswordProtectionEnabled() override {
    return settings_ && app::protection::ProtectionEnabled(settings_->store());
  }
  bool AskPassword() override {
    return settings_ && app::protection::AskPassword(services_, settings_->store());
  }
  void LogIt(std::int32_t number, const std::string& description, app::Severity severity,
             const std::string& source) noexcept override {
    services_.log->LogIt(number, description, severity, source);
  }

 private:
  app::shell::MainWindow& window_;
  app::Services& services_;
  std::optional<app::protection::ProgramSettings>& settings_;
};

int Run(int show) {
  app::ui::SystemDialogs dialogs;
  app::engine::LibraryObjects library;
  app::shell::ProgramLog log;
  app::Services services;
  services.log = &log;
  services.dialogs = &dialogs;
  services.library = &library;
  services.productName = app::ProgramString(IDS_PRODUCT_NAME);
  services.watchHostsFile = !::GetEnvironmentVariableW(
      hg::win::Widen(app::shell::kNoHostsWatchVariable).c_str(), nullptr, 0);
  const app::ScopedServices installed(services);

  app::shell::SplashWindow splash(services);
  std::optional<app::protection::ProgramSettings> settings;
  app::shell::MainWindow main(services, {[&](HWND owner) {
                         if (settings) {
                           app::protection::OpenProtectionSettings(services, settings->store(),
                                                                   owner);
                         }
                       }});
  MainWindowLoad load(main, services, settings);
  app::shell::SystemStartup system(
      log, {[&] { splash.Show(); }, [&] { splash.WaitUntilGone(); }, [&] { settings.emplace(); },
            [&](const std::string& hostsFilePath) {
              services.hostsFilePath = hostsFilePath;
              main.Create();
              app::shell::LoadMainWindow(load);
            }});
  const app::shell::StartupResult started = app::shell::InitializeProgram(
      system, {services.productName, app::ProgramString(IDS_NO_SYSTEM_FOLDER),
               app::ProgramString(IDS_UNKNOWN_WINDOWS_VERSION), app::ProgramString(IDS_ACCESS_DENIED)});
  if (!started.goOn) return kStopped;
  // A main window that could not be made while the splash was up gets its
  // second chance here, where a failure shows.
  if (!main.handle()) {
    main.Create();
    app::shell::LoadMainWindow(load);
  }
  main.ShowCentred(show);
  app::shell::FirstActivation activation;
  if (!activation.Activate(load)) return kStopped;
  return app::ui::RunMessageLoop([&](MSG& message) { return main.PreviewKey(message); },
                                 {[&] { return main.hostsFileChanges(); },
                                  [&] { main.OnHostsFileChanged(); }});
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LINK_CLASS};
  ::InitCommonControlsEx(&controls);
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exitCode = kStopped;
  try {
    exitCode = Run(show);
  } catch (...) {
    ::MessageBoxW(nullptr, L"Hedgerow cannot start.", L"Hedgerow", MB_OK | MB_ICONERROR);
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return exitCode;
}
