// MVista's answers from the system: version, user account control, the
// token's groups and elevation type, short paths, the elevated restart.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "app/shell/vista.h"

namespace app::shell {

// Platform id 2 and major version exactly 6 (the program declares no later
// system, so later ones report 6 as well).
bool IsVistaFamily();
// "EnableLUA" under the machine's policy key is there and not 0.
bool IsUACEnabled();
// The token (the thread's own, else the process's) lists the Administrators
// group; `elevationType` gets the token's elevation type or -1.
bool IsUserAdmin(std::int32_t& elevationType);
// Whether `groups` holds `sid`, walking every entry the token reported.
bool GroupsContain(const TOKEN_GROUPS& groups, PSID sid);
// The short form of `path`; empty when the system has none.
std::wstring ShortPathName(const std::wstring& path);
// True when the launcher started this process. The mark is taken away, so
// that nothing this process starts inherits it.
bool TakeRestartedMark();

// The system's answers, the trace through `trace`, the warning through
// `warn` and the restart through rundll32, the launcher and "runas".
class SystemElevation final : public ElevationSystem {
 public:
  SystemElevation(std::function<void(const std::string&)> trace, std::function<void()> warn)
      : trace_(std::move(trace)), warn_(std::move(warn)) {}
  bool IsVistaFamily() override { return shell::IsVistaFamily(); }
  bool IsUACEnabled() override { return shell::IsUACEnabled(); }
  bool IsUserAdmin(std::int32_t& elevationType) override {
    return shell::IsUserAdmin(elevationType);
  }
  bool WasRestarted() override { return TakeRestartedMark(); }
  void Trace(const std::string& text) override { trace_(text); }
  void Warn() override { warn_(); }
  void RestartElevated() override;

 private:
  std::function<void(const std::string&)> trace_;
  std::function<void()> warn_;
};

}  // namespace app::shell
