// The login at start-up and the protection settings dialog.
#include "app/protection/dialogs_win.h"

#include "app/resource.h"
#include "common/win/text_win.h"

namespace app::protection {
namespace {

// Centres a dialog over its owner, or over the work area when it has none.
void CenterOverOwner(HWND dialog) {
  RECT area{};
  const HWND owner = ::GetWindow(dialog, GW_OWNER);
  if (!owner || !::IsWindowVisible(owner) || !::GetWindowRect(owner, &area)) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    area = monitor.rcWork;
  }
  RECT own{};
  ::GetWindowRect(dialog, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  ::SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SelectAll(HWND edit) { ::SendMessageW(edit, EM_SETSEL, 0, -1); }

}  // namespace

LoginDialog::LoginDialog(Services& services, CRData& store) noexcept
    : Dialog(services, "FPwdLogin", IDD_PWD_LOGIN), store_(store), login_(store) {}

bool LoginDialog::OnInitDialog() {
  CenterOverOwner(handle());
  ::SetFocus(Item(IDC_LOGIN_PASSWORD));
  return false;
}

bool LoginDialog::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case IDOK:
      OnOk();
      return true;
    case IDC_LOGIN_CHANGE:
      if (code == BN_CLICKED) OnChange();
      return true;
    case IDC_LOGIN_PASSWORD:
      if (code == EN_SETFOCUS) SelectAll(control);
      return true;
    default:
      return Dialog::OnCommand(id, code, control);
  }
}

void LoginDialog::OnOk() {
  // The model reports a refusal itself; anything else ends in the same trap.
  Swallowing(
      "cmdOK_Click",
      [&] {
        if (login_.Ok(hg::win::Narrow(ItemText(IDC_LOGIN_PASSWORD)))) {
          End(IDOK);
        } else {
          SelectPassword();
        }
      },
      Severity::kInternalError);
}

void LoginDialog::OnChange() {
  Swallowing(
      "cmdChange_Click",
      [&] {
        if (!login_.MayChange(hg::win::Narrow(ItemText(IDC_LOGIN_PASSWORD)))) {
          SelectPassword();
          return;
        }
        {
          SettingsDialog settings(services(), store_);
          settings.ShowModal(handle());
        }
        if (login_.ProtectionRemoved()) {
          End(IDOK);
        } else {
          // The password that counts now is the one stored now.
          SelectPassword();
        }
      },
      Severity::kInternalError);
}

void LoginDialog::SelectPassword() const {
  const HWND edit = Item(IDC_LOGIN_PASSWORD);
  ::SetFocus(edit);
  SelectAll(edit);
}

SettingsDialog::SettingsDialog(Services& services, CRData& store) noexcept
    : Dialog(services, "FPwdManager", IDD_PWD_MANAGER), store_(store) {}

bool SettingsDialog::OnInitDialog() {
  CenterOverOwner(handle());
  bool enabled = false;
  Swallowing(
      "Init",
      [&] {
        enabled = ProtectionEnabled(store_);
        ::CheckRadioButton(handle(), IDC_PWD_ENABLE, IDC_PWD_REMOVE,
                           enabled ? IDC_PWD_ENABLE : IDC_PWD_REMOVE);
        EnablePasswordBoxes(enabled);
      },
      Severity::kInternalError);
  ::SetFocus(Item(enabled ? IDC_PWD_ENABLE : IDC_PWD_REMOVE));
  return false;
}

bool SettingsDialog::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case IDOK:
      OnOk();
      return true;
    case IDC_PWD_ENABLE:
    case IDC_PWD_REMOVE:
      if (code == BN_CLICKED) {
        EnablePasswordBoxes(::IsDlgButtonChecked(handle(), IDC_PWD_ENABLE) == BST_CHECKED);
      }
      return true;
    case IDC_PWD_TEXT:
    case IDC_PWD_CONFIRM:
      if (code == EN_SETFOCUS) SelectAll(control);
      return true;
    default:
      return Dialog::OnCommand(id, code, control);
  }
}

void SettingsDialog::EnablePasswordBoxes(bool enable) const {
  for (const int id : {IDC_PWD_LABEL, IDC_PWD_TEXT, IDC_PWD_CONFIRM_LABEL, IDC_PWD_CONFIRM}) {
    ::EnableWindow(Item(id), enable ? TRUE : FALSE);
  }
}

void SettingsDialog::OnOk() {
  Swallowing(
      "cmdOK_Click",
      [&] {
        const ProtectionChoice choice{::IsDlgButtonChecked(handle(), IDC_PWD_ENABLE) == BST_CHECKED,
                                      hg::win::Narrow(ItemText(IDC_PWD_TEXT)),
                                      hg::win::Narrow(ItemText(IDC_PWD_CONFIRM))};
        if (ApplyProtectionChoice(store_, choice)) End(IDOK);
      },
      Severity::kInternalError);
}

bool AskPassword(Services& services, CRData& store) {
  LoginDialog login(services, store);
  login.ShowModal(nullptr);
  return login.LoginGranted();
}

void OpenProtectionSettings(Services& services, CRData& store, HWND owner) {
  SettingsDialog settings(services, store);
  settings.ShowModal(owner);
}

}  // namespace app::protection
