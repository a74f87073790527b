// MVista's decisions.
#include "app/shell/vista.h"

#include "common/product_ids.h"

namespace app::shell {
namespace {

const char* BooleanText(bool value) { return value ? "True" : "False"; }

}  // namespace

ElevationAction DecideElevation(bool uacEnabled, bool isAdmin, std::int32_t elevationType,
                                bool restarted) {
  if (!uacEnabled) return isAdmin ? ElevationAction::kGoOn : ElevationAction::kWarnAndEnd;
  if (elevationType == kElevationFull) return ElevationAction::kGoOn;
  return restarted ? ElevationAction::kWarnAndEnd : ElevationAction::kRestartElevated;
}

std::string ElevationTrace(bool uacEnabled, bool isAdmin, std::int32_t elevationType) {
  return std::string("UACEnabled=") + BooleanText(uacEnabled) + ", IsAdmin=" +
         BooleanText(isAdmin) + ", ElevationType=" + std::to_string(elevationType);
}

std::string LauncherParameters(const std::string& shortProgramFolder) {
  // No blank after the comma: Wine's rundll32 would take it into the entry's name.
  return "\"" + shortProgramFolder + "\\HedgeRun.dll\"," + hg::product::kLauncherEntry + " " +
         shortProgramFolder;
}

std::string LauncherTrace(const std::string& launcher, const std::string& parameters) {
  return "File='" + launcher + "', Parameters='" + parameters + "'";
}

bool CheckElevation(ElevationSystem& system) {
  if (!system.IsVistaFamily()) return true;
  const bool uacEnabled = system.IsUACEnabled();
  std::int32_t elevationType = kElevationUnknown;
  const bool isAdmin = system.IsUserAdmin(elevationType);
  system.Trace(ElevationTrace(uacEnabled, isAdmin, elevationType));
  switch (DecideElevation(uacEnabled, isAdmin, elevationType, system.WasRestarted())) {
    case ElevationAction::kGoOn:
      return true;
    case ElevationAction::kWarnAndEnd:
      system.Warn();
      return false;
    case ElevationAction::kRestartElevated:
      system.RestartElevated();
      return false;
  }
  return false;
}

}  // namespace app::shell
