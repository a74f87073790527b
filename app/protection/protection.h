// The decisions behind the login and the protection settings dialog: what
// a typed password lets through, what the settings dialog writes.
#pragma once

#include <string>

#include "app/protection/settings_store.h"

namespace app::protection {

// Whether the stored settings ask for a password. Throws Failure when
// "PPEnabled" holds something that is not a Boolean or a number.
bool ProtectionEnabled(CRData& store);

// The login: OK and Change... both check the typed text first.
class LoginModel {
 public:
  explicit LoginModel(CRData& store) noexcept : store_(store) {}

  // True when the typed text, without outer blanks, is the stored password
  // (letter case counts). Otherwise logs the refusal with the typed text
  // masked, shows "Access denied. ..." and returns false.
  bool Ok(const std::string& typed);
  // The same check, logged as Change...: only the right password opens the
  // settings dialog.
  bool MayChange(const std::string& typed);
  // After the settings dialog closed: true, and granted, when it switched the
  // protection off. Failures are logged as Change...'s.
  bool ProtectionRemoved();

  bool granted() const noexcept { return granted_; }

 private:
  bool Check(const std::string& typed, const char* source);

  CRData& store_;
  bool granted_ = false;
};

// What the settings dialog holds when OK is pressed.
struct ProtectionChoice {
  bool enable = false;
  std::string password;
  std::string confirm;
};

// True when the choice can be applied; otherwise `falseCause` holds the
// message for the user.
bool ValidateSettings(const ProtectionChoice& choice, std::string& falseCause);

// The settings dialog's OK: validates, writes both settings in one write and
// tells the user the outcome. True when the dialog may close.
bool ApplyProtectionChoice(CRData& store, const ProtectionChoice& choice);

}  // namespace app::protection
