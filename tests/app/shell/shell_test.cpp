#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/shell/main_window.h"
#include "app/shell/startup.h"
#include "app/shell/vista.h"

namespace app::shell {
namespace {

using Texts = std::vector<std::string>;

// Start-up's and loading's steps, each recorded by name; a step named in
// `failing` throws, one named in `refusing` answers empty, false or platform 0.
class FakeSystem final : public StartupSystem, public LoadSteps {
 public:
  std::set<std::string> failing, refusing;
  bool protectedOn = false;
  Texts calls, log, stops;

  std::string LocalApplicationDataFolder() override { return Step("LocalData", std::string("C:\\Users\\u")); }
  std::string MergeFolderAndSubobject(const std::string& folder, const std::string& name) override {
    return Step("Merge", folder + "\\" + name);
  }
  void EnsureFolderExist(const std::string&) override { Step("Ensure", 0); }
  void OpenLog(const std::string& logFile, const std::string& shortLogFile) override {
    Step("OpenLog " + logFile + " " + shortLogFile, 0);
  }
  void LogIt(std::int32_t number, const std::string& description, Severity severity,
             const std::string& source) noexcept override {
    log.push_back(std::to_string(number) + "|" + description + "|" + std::to_string(static_cast<int>(severity)) +
                  "|" + source);
  }
  std::string WindowsVersion(std::int32_t& platform) override {
    const std::string text = Step("Version", std::string("Windows 7"));
    platform = refusing.count("Version") ? 0 : 2;
    return text;
  }
  bool CheckElevation() override { return Step("Elevation", true); }
  void OfferLogToCustomComponent() override { Step("Custom", 0); }
  bool CheckComponents(std::string& falseCause) override {
    if (refusing.count("Components")) falseCause = ComponentMessage("HGRWCustom.dll");
    return Step("Components", true);
  }
  std::string ExpandWindowsFolder() override { return Step("Windir", std::string("C:\\windows")); }
  void RewriteAttributes(const std::string& path) override { Step("Access " + path, 0); }
  void ShowSplash() override { Step("Splash", 0); }
  void OpenSettingsStore() override { Step("Store", 0); }
  void LoadMainWindow(const std::string& hosts) override { Step("Load " + hosts, 0); }
  void WaitForSplash() override { Step("Wait", 0); }
  void ShowStop(const std::string& message) override { stops.push_back(message); }
  void SetCaption() override { Step("Caption", 0); }
  void BackupConfiguration() override { Step("Backup", 0); }
  void InitTabStrip() override { Step("Tabs", 0); }
  bool PasswordProtectionEnabled() override { return Step("Enabled", protectedOn); }
  bool AskPassword() override { return Step("Ask", true); }

 private:
  template <typename T>
  T Step(const std::string& call, T value) {
    calls.push_back(call);
    const std::string name = call.substr(0, call.find(' '));
    if (failing.count(name)) throw Failure(static_cast<std::int32_t>(0x80070005), "Denied " + name);
    if (name != "Version" && refusing.count(name)) return T{};
    return value;
  }
};

const StartupTexts kTexts{"Hedgerow", "no folder", "no version", "Access denied. "};
const Texts kTraces{"0|********** start app|5|FMain.Form_Initialize",
                    "0|Hedgerow ver.4.3.201|5|FMain.Form_Initialize",
                    "0|Windows: Windows 7|5|FMain.Form_Initialize"};
const std::string kData = "C:\\Users\\u\\Hedgerow";
const std::string kHosts = "C:\\windows\\system32\\drivers\\etc\\hosts";

TEST(Startup, AStartWithoutFailuresRunsEveryStepAndGoesOn) {
  FakeSystem system;
  const StartupResult result = InitializeProgram(system, kTexts);
  EXPECT_TRUE(result.goOn);
  EXPECT_EQ(result.hostsFilePath, kHosts);
  EXPECT_EQ(system.calls, (Texts{"LocalData", "Merge", "Ensure",
                                 "OpenLog " + kData + "\\HGRW.log " + kData + "\\short.log", "Version",
                                 "Elevation", "Custom", "Components", "Windir", "Access " + kHosts,
                                 "Splash", "Store", "Load " + kHosts, "Wait"}));
  EXPECT_EQ(system.log, kTraces);
  EXPECT_TRUE(system.stops.empty());

  // Without the user's folder the log writes nowhere.
  FakeSystem noFolder;
  noFolder.refusing = {"LocalData"};
  EXPECT_TRUE(InitializeProgram(noFolder, kTexts).goOn);
  EXPECT_EQ(noFolder.calls[1], "OpenLog  ");
}

// Each step made to fail, or answering so that start-up cannot go on: whether
// it goes on, the last step that runs, the message shown, and the entries after
// the three traces.
TEST(Startup, EachFailingOrRefusingStepHasItsOutcome) {
  const std::string component =
      "Component 'HGRWCustom.dll' or one of its dependencies not correctly registered: a file is "
      "missing or invalid. Try to reinstall Hedgerow.";
  const std::string denied = "-2147024891|Denied ";
  const struct {
    std::string step;
    bool refused;
    bool goOn;
    std::string lastCall, stop;
    Texts extraLog;
  } cases[] = {
      {"LocalData", false, true, "Wait", "", {}},  {"Merge", false, true, "Wait", "", {}},
      {"Ensure", false, true, "Wait", "", {}},     {"OpenLog", false, true, "Wait", "", {}},
      {"Elevation", false, true, "Wait", "", {}},  {"Custom", false, true, "Wait", "", {}},
      {"Load", false, true, "Wait", "", {}},       {"Wait", false, true, "Wait", "", {}},
      {"Access", false, false, "Access", "Access denied. ", {}},
      {"Splash", false, true, "Wait", "", {denied + "Splash|0|FMain.Form_Initialize"}},
      {"Store", false, true, "Wait", "", {denied + "Store|0|FMain.Form_Initialize"}},
      {"Windir", false, false, "Windir", "no folder", {}},
      {"Components", false, false, "Components", "Denied Components",
       {"0|Denied Components|4|FMain.Form_Initialize"}},
      {"Version", false, false, "Windir", "no version", {}},
      {"Components", true, false, "Components", component, {"0|" + component + "|4|FMain.Form_Initialize"}},
      {"Elevation", true, false, "Elevation", "", {}},  {"Windir", true, false, "Windir", "no folder", {}},
      {"Version", true, false, "Windir", "no version", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step + (c.refused ? " refused" : " failing"));
    FakeSystem system;
    (c.refused ? system.refusing : system.failing) = {c.step};
    const StartupResult result = InitializeProgram(system, kTexts);
    EXPECT_EQ(result.goOn, c.goOn);
    EXPECT_EQ(system.calls.back().substr(0, c.lastCall.size()), c.lastCall);
    EXPECT_EQ(system.stops, c.stop.empty() ? Texts{} : Texts{c.stop});
    Texts expected = kTraces;
    if (c.step == "Version" && !c.refused) expected[2] = "0|Windows: |5|FMain.Form_Initialize";
    expected.insert(expected.end(), c.extraLog.begin(), c.extraLog.end());
    EXPECT_EQ(system.log, expected);
  }
  EXPECT_EQ(HostsFilePathOf("C:\\WINDOWS\\", 2), "C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
  EXPECT_EQ(HostsFilePathOf("C:\\WINDOWS", 1), "C:\\WINDOWS\\hosts");
}

TEST(Startup, LoadingStopsAtAFailureAndOnlyTheFirstActivationAsksForThePassword) {
  FakeSystem load;
  load.failing = {"Backup"};
  LoadMainWindow(load);
  EXPECT_EQ(load.calls, (Texts{"Caption", "Backup"}));
  EXPECT_EQ(load.log, Texts{"-2147024891|Denied Backup|4|FMain.Form_Load"});

  const struct {
    bool protectedOn;
    std::string step;  // failing, or refused: a wrong password or Cancel
    bool refused, granted;
    Texts calls;
  } cases[] = {
      {false, "", false, true, {"Enabled"}},
      {true, "", false, true, {"Enabled", "Ask"}},
      {true, "Ask", true, false, {"Enabled", "Ask"}},
      {true, "Enabled", false, true, {"Enabled"}},
      // A login dialog that cannot be shown keeps the program locked.
      {true, "Ask", false, false, {"Enabled", "Ask"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step + (c.protectedOn ? " protected" : "") + (c.refused ? " refused" : ""));
    FakeSystem steps;
    steps.protectedOn = c.protectedOn;
    (c.refused ? steps.refusing : steps.failing) = {c.step};
    FirstActivation activation;
    EXPECT_EQ(activation.Activate(steps), c.granted);
    steps.protectedOn = true;
    EXPECT_TRUE(activation.Activate(steps));
    EXPECT_EQ(steps.calls, c.calls);
    EXPECT_EQ(steps.log, c.refused || c.step.empty()
                             ? Texts{}
                             : Texts{"-2147024891|Denied " + c.step + "|4|FMain.Form_Activate"});
  }
}

class FakeElevation final : public ElevationSystem {
 public:
  bool vista = true, uac = true, admin = true, restarted = false;
  std::int32_t type = kElevationLimited;
  Texts done;

  bool IsVistaFamily() override { return vista; }
  bool IsUACEnabled() override { return uac; }
  bool IsUserAdmin(std::int32_t& elevationType) override {
    elevationType = type;
    return admin;
  }
  bool WasRestarted() override { return restarted; }
  void Trace(const std::string& text) override { done.push_back(text); }
  void Warn() override { done.push_back("warn"); }
  void RestartElevated() override { done.push_back("restart"); }
};

// The decision for every token, and the check that traces it and then acts.
TEST(Vista, DecisionTableAndCheckElevation) {
  using A = ElevationAction;
  const struct {
    bool uac, admin;
    std::int32_t type;
    bool restarted;
    A action;
  } rows[] = {
      {false, true, -1, false, A::kGoOn},          {false, true, 1, true, A::kGoOn},
      {false, false, 2, false, A::kWarnAndEnd},    {true, false, 2, false, A::kGoOn},
      {true, true, 2, true, A::kGoOn},             {true, true, 3, false, A::kRestartElevated},
      {true, true, 1, false, A::kRestartElevated}, {true, false, -1, false, A::kRestartElevated},
      // An instance the launcher started that still lacks a full token warns
      // instead of restarting for ever.
      {true, true, 3, true, A::kWarnAndEnd},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(ElevationTrace(row.uac, row.admin, row.type) + (row.restarted ? " restarted" : ""));
    FakeElevation system;
    system.uac = row.uac;
    system.admin = row.admin;
    system.type = row.type;
    system.restarted = row.restarted;
    EXPECT_EQ(CheckElevation(system), row.action == A::kGoOn);
    Texts done{ElevationTrace(row.uac, row.admin, row.type)};
    if (row.action != A::kGoOn) done.push_back(row.action == A::kWarnAndEnd ? "warn" : "restart");
    EXPECT_EQ(system.done, done);
  }
  FakeElevation beforeVista;
  beforeVista.vista = false;
  EXPECT_TRUE(CheckElevation(beforeVista));
  EXPECT_TRUE(beforeVista.done.empty());
  EXPECT_EQ(ElevationTrace(true, false, -1), "UACEnabled=True, IsAdmin=False, ElevationType=-1");
  const std::string parameters = LauncherParameters("C:\\PROGRA~1\\HEDGER~1");
  EXPECT_EQ(parameters, "\"C:\\PROGRA~1\\HEDGER~1\\HedgeRun.dll\",hedgerun C:\\PROGRA~1\\HEDGER~1");
  EXPECT_EQ(LauncherTrace("C:\\windows\\system32\\rundll32.exe", parameters),
            "File='C:\\windows\\system32\\rundll32.exe', Parameters='" + parameters + "'");
}

TEST(MainWindowLogic, KeysPagesAndTabKeys) {
  const struct {
    int key, modifiers;
    KeyCommand command;
  } rows[] = {
      {kKeyF5, 0, KeyCommand::kRefresh},         {kKeyF5, kShift, KeyCommand::kNone},
      {kKeyF5, kCtrl, KeyCommand::kNone},        {kKeyTab, kCtrl, KeyCommand::kNextPage},
      {kKeyTab, kCtrl | kAlt, KeyCommand::kNextPage}, {kKeyTab, kCtrl | kShift, KeyCommand::kPreviousPage},
      {kKeyTab, kShift, KeyCommand::kNone},      {'R', kCtrl, KeyCommand::kNone},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(KeyCommandOf(row.key, row.modifiers), row.command) << row.key << " " << row.modifiers;
  }
  EXPECT_EQ((std::vector{NextPage(1, kPageCount), NextPage(2, kPageCount), PreviousPage(1, kPageCount),
                         PreviousPage(2, kPageCount)}),
            (std::vector{2, 1, 2, 1}));
  EXPECT_EQ((std::vector{TabIndexFromKey("help"), TabIndexFromKey("blocksite"), TabIndexFromKey("Help")}),
            (std::vector{1, 2, 0}));
}

TEST(MainWindowLogic, LayoutSkipsNegativeSizes) {
  // Too small, the tab strip and the pages keep their last sizes; the pages
  // follow the tab strip even when only their own size is negative.
  const struct {
    int width, height;
    std::vector<std::optional<int>> sizes;  // tab height and width, page height and width, note top
  } steps[] = {
      {6600, 4410, {3960, 6450, 3375, 6015, 4110}},
      {140, 1000, {550, 6450, 3375, 6015, 700}},
      {500, 0, {550, 350, 3375, 6015, 700}},
  };
  MainLayout layout;
  for (const auto& [width, height, sizes] : steps) {
    LayOutMain(layout, width, height);
    EXPECT_EQ((std::vector{layout.tabHeight, layout.tabWidth, layout.pageHeight, layout.pageWidth, layout.noteTop}),
              sizes)
        << width << " by " << height;
  }
  HelpLayout help;
  LayOutHelp(help, 6015, 3375);
  EXPECT_EQ(help.labelWidth, 4515);
  EXPECT_EQ(help.labelHeight, 3135);
}

}  // namespace
}  // namespace app::shell
