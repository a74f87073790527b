// The decisions behind the login and the protection settings dialog.
#include "app/protection/protection.h"

#include "app/engine/failure.h"
#include "app/engine/user_dialogs.h"
#include "app/protection/password.h"

namespace app::protection {
namespace {

constexpr int kInvalidPassword = 1672;
constexpr char kAccessDenied[] = "Access denied. ";

}  // namespace

bool ProtectionEnabled(CRData& store) {
  return AsBoolean(store.ReadProperty(kProtectionEnabled, Setting::Boolean(false)));
}

bool LoginModel::Ok(const std::string& typed) {
  const bool right = Check(typed, "FPwdLogin.cmdOK_Click");
  if (right) granted_ = true;
  return right;
}

bool LoginModel::MayChange(const std::string& typed) {
  return Check(typed, "FPwdLogin.cmdChange_Click");
}

bool LoginModel::Check(const std::string& typed, const char* source) {
  bool right = false;
  Trapped(
      [&] {
        // Null marks a store without "PP", Empty a store that is gone or cannot
        // be read: then no typed text matches.
        const Setting stored = store_.ReadProperty(kStoredPassword, Setting::Null());
        right = stored.kind() != tk::ValueKind::Null && stored.kind() != tk::ValueKind::Empty &&
                TrimBlanks(typed) == DecodePassword(AsText(stored));
        if (!right) {
          throw Failure(ProgramErrorNumber(kInvalidPassword), "Invalid password. ");
        }
      },
      [&](const Failure& failure) {
        // The typed text is usually the password with a typo: the log keeps
        // only its length.
        Failure entry(failure.number(),
                      kAccessDenied + failure.description() + " \"" + MaskedText(typed) + "\"");
        SwallowFailure(entry, source, Severity::kInternalError);
        try {
          AppMsgBox(kAccessDenied + failure.description(), kOkOnly + kIconExclamation, "");
        } catch (...) {
          // The refusal is logged; a message box that cannot be shown ends it here.
        }
      });
  return right;
}

bool LoginModel::ProtectionRemoved() {
  Trapped([&] { granted_ = granted_ || !ProtectionEnabled(store_); },
          [](const Failure& failure) {
            SwallowFailure(failure, "FPwdLogin.cmdChange_Click", Severity::kInternalError);
          });
  return granted_;
}

bool ValidateSettings(const ProtectionChoice& choice, std::string& falseCause) {
  falseCause.clear();
  if (!choice.enable) return true;
  const std::string password = TrimBlanks(choice.password);
  if (password.empty()) {
    falseCause = "Please type a password. ";
    return false;
  }
  if (TrimBlanks(choice.confirm) != password) {
    falseCause = "Passwords don't match. Please re-type passwords.";
    return false;
  }
  return true;
}

bool ApplyProtectionChoice(CRData& store, const ProtectionChoice& choice) {
  std::string falseCause;
  if (!ValidateSettings(choice, falseCause)) {
    AppMsgBox(falseCause, kOkOnly + kIconExclamation, "");
    return false;
  }
  const std::string stored = choice.enable ? EncodePassword(choice.password) : std::string();
  // One write: a failure between the two settings could otherwise leave the
  // protection on without a password anyone knows.
  if (!store.WriteProperties({{kProtectionEnabled, Setting::Boolean(choice.enable)},
                              {kStoredPassword, Setting::Text(stored)}})) {
    AppMsgBox("The password protection settings could not be saved.", kOkOnly + kIconExclamation,
              "");
    return false;
  }
  AppMsgBox(choice.enable ? "Password protection is enabled." : "Password protection is disabled.",
            kOkOnly + kIconInformation, "");
  return true;
}

}  // namespace app::protection
