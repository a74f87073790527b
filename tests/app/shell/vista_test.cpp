#include "app/shell/vista.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace app::shell {
namespace {

TEST(Vista, DecisionTable) {
  using A = ElevationAction;
  struct Row {
    bool uac, admin;
    std::int32_t type;
    bool restarted;
    A action;
  };
  const Row rows[] = {
      {false, true, -1, false, A::kGoOn},          {false, true, 3, false, A::kGoOn},
      {false, false, -1, false, A::kWarnAndEnd},   {false, false, 2, false, A::kWarnAndEnd},
      {true, false, 2, false, A::kGoOn},           {true, true, 2, true, A::kGoOn},
      {true, true, 1, false, A::kRestartElevated}, {true, false, 1, false, A::kRestartElevated},
      {true, true, 3, false, A::kRestartElevated}, {true, false, -1, false, A::kRestartElevated},
      // An instance the launcher started that still lacks a full token warns
      // instead of restarting for ever.
      {true, true, 3, true, A::kWarnAndEnd},       {true, false, -1, true, A::kWarnAndEnd},
      {false, true, 1, true, A::kGoOn},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(ElevationTrace(row.uac, row.admin, row.type) + (row.restarted ? " restarted" : ""));
    EXPECT_EQ(DecideElevation(row.uac, row.admin, row.type, row.restarted), row.action);
  }
}

TEST(Vista, TraceAndLauncherTexts) {
  EXPECT_EQ(ElevationTrace(true, false, -1), "UACEnabled=True, IsAdmin=False, ElevationType=-1");
  const std::string parameters = LauncherParameters("C:\\PROGRA~1\\HEDGER~1");
  EXPECT_EQ(parameters, "\"C:\\PROGRA~1\\HEDGER~1\\HedgeRun.dll\",hedgerun C:\\PROGRA~1\\HEDGER~1");
  EXPECT_EQ(LauncherTrace("C:\\windows\\system32\\rundll32.exe", parameters),
            "File='C:\\windows\\system32\\rundll32.exe', Parameters='" + parameters + "'");
}

class FakeElevation final : public ElevationSystem {
 public:
  bool vista = true, uac = true, admin = true, restarted = false;
  std::int32_t type = kElevationLimited;
  std::vector<std::string> done;

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

TEST(Vista, CheckElevationTracesThenActs) {
  FakeElevation xp;
  xp.vista = false;
  EXPECT_TRUE(CheckElevation(xp));
  EXPECT_TRUE(xp.done.empty());

  FakeElevation filtered;
  EXPECT_FALSE(CheckElevation(filtered));
  EXPECT_EQ(filtered.done, (std::vector<std::string>{
                               "UACEnabled=True, IsAdmin=True, ElevationType=3", "restart"}));

  FakeElevation again;
  again.restarted = true;
  EXPECT_FALSE(CheckElevation(again));
  EXPECT_EQ(again.done.back(), "warn");

  FakeElevation elevated;
  elevated.type = kElevationFull;
  EXPECT_TRUE(CheckElevation(elevated));
  EXPECT_EQ(elevated.done.size(), 1u);
}

}  // namespace
}  // namespace app::shell
