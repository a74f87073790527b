#include "app/shell/startup.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace app::shell {
namespace {

// Every call is recorded by name; a step named in `failing` throws, and
// `answers` overrides what a step returns.
class FakeSystem final : public StartupSystem {
 public:
  std::set<std::string> failing;
  std::string localData = "C:\\Users\\u\\AppData\\Local";
  std::string windowsFolder = "C:\\windows";
  std::int32_t platformId = 2;
  bool elevationGoesOn = true;
  bool componentsThere = true;
  std::vector<std::string> calls;
  std::vector<std::string> log;  // "number|description|severity|source"
  std::vector<std::string> stops;

  std::string LocalApplicationDataFolder() override { return Step("LocalData", localData); }
  std::string MergeFolderAndSubobject(const std::string& folder,
                                      const std::string& name) override {
    return Step("Merge", folder + "\\" + name);
  }
  void EnsureFolderExist(const std::string&) override { Step("Ensure", 0); }
  void OpenLog(const std::string& logFile, const std::string& shortLogFile) override {
    Step("OpenLog " + logFile + " " + shortLogFile, 0);
  }
  void LogIt(std::int32_t number, const std::string& description, Severity severity,
             const std::string& source) noexcept override {
    log.push_back(std::to_string(number) + "|" + description + "|" +
                  std::to_string(static_cast<int>(severity)) + "|" + source);
  }
  std::string WindowsVersion(std::int32_t& platform) override {
    const std::string text = Step("Version", std::string("Windows 7"));
    platform = platformId;
    return text;
  }
  bool CheckElevation() override { return Step("Elevation", elevationGoesOn); }
  void OfferLogToCustomComponent() override { Step("Custom", 0); }
  bool CheckComponents(std::string& falseCause) override {
    if (!componentsThere) falseCause = ComponentMessage("HGRWCustom.dll");
    return Step("Components", componentsThere);
  }
  std::string ExpandWindowsFolder() override { return Step("Windir", windowsFolder); }
  void RewriteAttributes(const std::string& path) override { Step("Access " + path, 0); }
  void ShowSplash() override { Step("Splash", 0); }
  void OpenSettingsStore() override { Step("Store", 0); }
  void LoadMainWindow(const std::string& hosts) override { Step("Load " + hosts, 0); }
  void WaitForSplash() override { Step("Wait", 0); }
  void ShowStop(const std::string& message) override { stops.push_back(message); }

 private:
  template <typename T>
  T Step(const std::string& name, T value) {
    calls.push_back(name);
    if (failing.count(name.substr(0, name.find(' ')))) {
      throw Failure(static_cast<std::int32_t>(0x80070005), "Denied " + name.substr(0, name.find(' ')));
    }
    return value;
  }
};

const StartupTexts kTexts{"Hedgerow", "no folder", "no version", "Access denied. "};
const std::vector<std::string> kTraces{
    "0|********** start app|5|FMain.Form_Initialize",
    "0|Hedgerow ver.4.3.201|5|FMain.Form_Initialize",
    "0|Windows: Windows 7|5|FMain.Form_Initialize"};
const std::string kData = "C:\\Users\\u\\AppData\\Local\\Hedgerow";
const std::string kHosts = "C:\\windows\\system32\\drivers\\etc\\hosts";

TEST(Startup, AStartWithoutFailuresRunsEveryStepAndGoesOn) {
  FakeSystem system;
  const StartupResult result = InitializeProgram(system, kTexts);
  EXPECT_TRUE(result.goOn);
  EXPECT_EQ(result.hostsFilePath, kHosts);
  EXPECT_EQ(system.calls,
            (std::vector<std::string>{"LocalData", "Merge", "Ensure",
                                      "OpenLog " + kData + "\\HGRW.log " + kData + "\\short.log",
                                      "Version", "Elevation", "Custom", "Components", "Windir",
                                      "Access " + kHosts, "Splash", "Store", "Load " + kHosts,
                                      "Wait"}));
  EXPECT_EQ(system.log, kTraces);
  EXPECT_TRUE(system.stops.empty());
}

// Each step made to fail, or the system answering so that start-up cannot
// go on: whether it goes on, the last step that runs, the message shown, and
// the entries after the three traces.
TEST(Startup, EachFailingStepHasItsOutcome) {
  const std::string component =
      "Component 'HGRWCustom.dll' or one of its dependencies not correctly registered: a file is "
      "missing or invalid. Try to reinstall Hedgerow.";
  const std::string denied = "-2147024891|Denied ";
  struct Case {
    std::string failing;
    void (*arrange)(FakeSystem&);
    bool goOn;
    std::string lastCall;
    std::string stop;
    std::vector<std::string> extraLog;
  };
  const std::vector<Case> cases = {
      {"LocalData", nullptr, true, "Wait", "", {}},
      {"Merge", nullptr, true, "Wait", "", {}},
      {"Ensure", nullptr, true, "Wait", "", {}},
      {"OpenLog", nullptr, true, "Wait", "", {}},
      {"Elevation", nullptr, true, "Wait", "", {}},
      {"Custom", nullptr, true, "Wait", "", {}},
      {"Access", nullptr, false, "Access", "Access denied. ", {}},
      {"Splash", nullptr, true, "Wait", "", {denied + "Splash|0|FMain.Form_Initialize"}},
      {"Store", nullptr, true, "Wait", "", {denied + "Store|0|FMain.Form_Initialize"}},
      {"Load", nullptr, true, "Wait", "", {}},
      {"Wait", nullptr, true, "Wait", "", {}},
      {"Windir", nullptr, false, "Windir", "no folder", {}},
      {"Components", nullptr, false, "Components", "Denied Components",
       {"0|Denied Components|4|FMain.Form_Initialize"}},
      {"Version", nullptr, false, "Windir", "no version", {}},
      {"elevation ends", [](FakeSystem& s) { s.elevationGoesOn = false; }, false, "Elevation", "",
       {}},
      {"component missing", [](FakeSystem& s) { s.componentsThere = false; }, false, "Components",
       component, {"0|" + component + "|4|FMain.Form_Initialize"}},
      {"empty windir", [](FakeSystem& s) { s.windowsFolder.clear(); }, false, "Windir",
       "no folder", {}},
      {"platform 0", [](FakeSystem& s) { s.platformId = 0; }, false, "Windir", "no version", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    FakeSystem system;
    if (c.arrange) {
      c.arrange(system);
    } else {
      system.failing = {c.failing};
    }
    const StartupResult result = InitializeProgram(system, kTexts);
    EXPECT_EQ(result.goOn, c.goOn);
    EXPECT_EQ(system.calls.back().substr(0, c.lastCall.size()), c.lastCall);
    EXPECT_EQ(system.stops, c.stop.empty() ? std::vector<std::string>{}
                                           : std::vector<std::string>{c.stop});
    std::vector<std::string> expected = kTraces;
    if (c.failing == "Version") expected[2] = "0|Windows: |5|FMain.Form_Initialize";
    expected.insert(expected.end(), c.extraLog.begin(), c.extraLog.end());
    EXPECT_EQ(system.log, expected);
  }
}

TEST(Startup, WithoutTheUsersFolderTheLogWritesNowhere) {
  FakeSystem system;
  system.localData.clear();
  EXPECT_TRUE(InitializeProgram(system, kTexts).goOn);
  EXPECT_EQ(system.calls[1], "OpenLog  ");
}

TEST(Startup, HostsFilePathByPlatform) {
  EXPECT_EQ(HostsFilePathOf("C:\\WINDOWS", 2), "C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
  EXPECT_EQ(HostsFilePathOf("C:\\WINDOWS\\", 2), "C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
  EXPECT_EQ(HostsFilePathOf("C:\\WINDOWS", 1), "C:\\WINDOWS\\hosts");
  EXPECT_EQ(HostsFilePathOf("C:\\WINDOWS", 3), "");
}

class FakeLoad final : public LoadSteps {
 public:
  std::set<std::string> failing;
  bool protectedOn = false;
  bool accepted = true;
  std::vector<std::string> calls;
  std::vector<std::string> log;

  void SetCaption() override { Step("Caption"); }
  void BackupConfiguration() override { Step("Backup"); }
  void InitTabStrip() override { Step("Tabs"); }
  bool PasswordProtectionEnabled() override {
    Step("Enabled");
    return protectedOn;
  }
  bool AskPassword() override {
    Step("Ask");
    return accepted;
  }
  void LogIt(std::int32_t number, const std::string& description, Severity severity,
             const std::string& source) noexcept override {
    log.push_back(std::to_string(number) + "|" + description + "|" +
                  std::to_string(static_cast<int>(severity)) + "|" + source);
  }

 private:
  void Step(const std::string& name) {
    calls.push_back(name);
    if (failing.count(name)) throw Failure(91, "failed " + name);
  }
};

TEST(Startup, LoadingSkipsTheRestAfterAFailureAndLogsIt) {
  FakeLoad steps;
  steps.failing = {"Backup"};
  LoadMainWindow(steps);
  EXPECT_EQ(steps.calls, (std::vector<std::string>{"Caption", "Backup"}));
  EXPECT_EQ(steps.log, std::vector<std::string>{"91|failed Backup|4|FMain.Form_Load"});
}

TEST(Startup, OnlyTheFirstActivationAsksForThePassword) {
  struct Case {
    bool protectedOn, accepted;
    std::string failing;
    bool granted;
    std::vector<std::string> calls;
    std::size_t logLines;
  };
  const std::vector<Case> cases = {
      {false, true, "", true, {"Enabled"}, 0},
      {true, true, "", true, {"Enabled", "Ask"}, 0},
      {true, false, "", false, {"Enabled", "Ask"}, 0},
      {true, true, "Enabled", true, {"Enabled"}, 1},
      // A login dialog that cannot be shown keeps the program locked.
      {true, true, "Ask", false, {"Enabled", "Ask"}, 1},
  };
  for (const Case& c : cases) {
    FakeLoad steps;
    steps.protectedOn = c.protectedOn;
    steps.accepted = c.accepted;
    if (!c.failing.empty()) steps.failing = {c.failing};
    FirstActivation activation;
    EXPECT_EQ(activation.Activate(steps), c.granted);
    steps.protectedOn = true;
    EXPECT_TRUE(activation.Activate(steps));
    EXPECT_EQ(steps.calls, c.calls);
    EXPECT_EQ(steps.log.size(), c.logLines);
    if (c.logLines) {
      EXPECT_EQ(steps.log[0], "91|failed " + c.failing + "|4|FMain.Form_Activate");
    }
  }
}

}  // namespace
}  // namespace app::shell
