// MVista: whether the program may go on, must stop because the user is no
// administrator, or must start again elevated. The decisions; the system's
// answers come from vista_win.
#pragma once

#include <cstdint>
#include <string>

namespace app::shell {

inline constexpr char kSource[] = "MVista";
inline constexpr std::int32_t kElevationUnknown = -1;
inline constexpr std::int32_t kElevationDefault = 1;
inline constexpr std::int32_t kElevationFull = 2;
inline constexpr std::int32_t kElevationLimited = 3;

inline constexpr char kNoAdminWarning[] =
    "You do not have sufficient permissions to open Hedgerow. Please logon as administrator "
    "to open Hedgerow.";

enum class ElevationAction { kGoOn, kWarnAndEnd, kRestartElevated };

// The decision for a system with user account control. `restarted`: this
// instance was started by the elevation launcher, so a second restart would
// only loop; it warns instead.
ElevationAction DecideElevation(bool uacEnabled, bool isAdmin, std::int32_t elevationType,
                                bool restarted);

// "UACEnabled=True, IsAdmin=False, ElevationType=-1".
std::string ElevationTrace(bool uacEnabled, bool isAdmin, std::int32_t elevationType);

// The launcher's parameters: the launcher library in the program's folder
// (its short form, so that no blank splits it), the entry, and the folder.
std::string LauncherParameters(const std::string& shortProgramFolder);

// "File='...', Parameters='...'".
std::string LauncherTrace(const std::string& launcher, const std::string& parameters);

// What the check asks of the system; none of it fails: an answer that
// cannot be had is false or kElevationUnknown.
class ElevationSystem {
 public:
  virtual ~ElevationSystem() = default;
  virtual bool IsVistaFamily() = 0;
  virtual bool IsUACEnabled() = 0;
  virtual bool IsUserAdmin(std::int32_t& elevationType) = 0;
  // True when the elevation launcher started this instance.
  virtual bool WasRestarted() = 0;
  virtual void Trace(const std::string& text) = 0;
  // The plain message box with kNoAdminWarning.
  virtual void Warn() = 0;
  // Starts the launcher through the system's elevation prompt.
  virtual void RestartElevated() = 0;
};

// CheckElevation: true when start-up may go on; false when the process must
// end (after the warning, or once the elevated instance is on its way).
bool CheckElevation(ElevationSystem& system);

}  // namespace app::shell
