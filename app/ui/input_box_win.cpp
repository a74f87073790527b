// The input box dialog: a prompt, a one-line edit field, OK and Cancel.
#include "app/ui/input_box_win.h"

#include "app/resource.h"

namespace app::ui {

InputBoxDialog::InputBoxDialog(Services& services) : Dialog(services, "InputBox", IDD_INPUT_BOX) {}

bool InputBoxDialog::OnInitDialog() {
  ::SetWindowTextW(handle(), title.c_str());
  ::SetDlgItemTextW(handle(), IDC_INPUT_PROMPT, prompt.c_str());
  ::SetDlgItemTextW(handle(), IDC_INPUT_TEXT, text.c_str());
  ::SendDlgItemMessageW(handle(), IDC_INPUT_TEXT, EM_SETSEL, 0, -1);
  ::SetFocus(Item(IDC_INPUT_TEXT));
  if (at) ::SetWindowPos(handle(), nullptr, at->x, at->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  return false;  // the focus is set: typing goes to the edit field
}

bool InputBoxDialog::OnCommand(int id, int code, HWND control) {
  if (id != IDOK) return Dialog::OnCommand(id, code, control);
  text = ItemText(IDC_INPUT_TEXT);
  End(IDOK);
  return true;
}

}  // namespace app::ui
