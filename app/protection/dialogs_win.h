// The login at start-up and the protection settings dialog, and the two
// entry points the program's main window calls.
#pragma once

#include <windows.h>

#include "app/engine/services.h"
#include "app/protection/protection.h"
#include "app/ui/window_win.h"

namespace app::protection {

// The login: the password box, Change..., OK and Cancel.
class LoginDialog final : public ui::Dialog {
 public:
  LoginDialog(Services& services, CRData& store) noexcept;
  // True after the right password, or after Change... removed the protection.
  bool LoginGranted() const noexcept { return login_.granted(); }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  void OnOk();
  void OnChange();
  // Focus on the password box with its whole text selected, for the next try.
  void SelectPassword() const;

  CRData& store_;
  LoginModel login_;
};

// The protection settings: on with a password typed twice, or off.
class SettingsDialog final : public ui::Dialog {
 public:
  SettingsDialog(Services& services, CRData& store) noexcept;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  void EnablePasswordBoxes(bool enable) const;
  void OnOk();

  CRData& store_;
};

// The first activation's login: shown modal without an owner. True when the
// program may go on; false when the user cancelled or closed it.
bool AskPassword(Services& services, CRData& store);

// Tools > Password Protection...: the settings dialog, modal over `owner`.
// Throws when the dialog cannot be shown.
void OpenProtectionSettings(Services& services, CRData& store, HWND owner);

}  // namespace app::protection
