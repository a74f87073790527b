// The input box dialog: a prompt, a one-line edit field, OK and Cancel.
#include "app/engine/input_box_win.h"

#include "app/resource.h"
#include "common/win/result.h"

namespace app::engine {

bool InputBoxDialog::Show(HINSTANCE instance, HWND owner) {
  const INT_PTR result = ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_INPUT_BOX), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
  THROW_LAST_ERROR_IF(result == -1 || result == 0);
  return result == IDOK;
}

INT_PTR CALLBACK InputBoxDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      reinterpret_cast<InputBoxDialog*>(lParam)->OnInitDialog(dialog);
      return FALSE;  // the focus is set: typing goes to the edit field
    }
    auto* self = reinterpret_cast<InputBoxDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self || message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
      case IDOK:
        self->OnOk(dialog);
        return TRUE;
      case IDCANCEL:
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      default:
        return FALSE;
    }
  } catch (...) {
    // Nothing may unwind through the dialog manager: the box closes as cancelled.
    ::EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
}

void InputBoxDialog::OnInitDialog(HWND dialog) {
  ::SetWindowTextW(dialog, title.c_str());
  ::SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, prompt.c_str());
  ::SetDlgItemTextW(dialog, IDC_INPUT_TEXT, text.c_str());
  ::SendDlgItemMessageW(dialog, IDC_INPUT_TEXT, EM_SETSEL, 0, -1);
  ::SetFocus(::GetDlgItem(dialog, IDC_INPUT_TEXT));
  if (at) ::SetWindowPos(dialog, nullptr, at->x, at->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void InputBoxDialog::OnOk(HWND dialog) {
  const HWND edit = ::GetDlgItem(dialog, IDC_INPUT_TEXT);
  std::wstring edited(static_cast<size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
  edited.resize(static_cast<size_t>(
      ::GetWindowTextW(edit, edited.data(), static_cast<int>(edited.size()))));
  text = std::move(edited);
  ::EndDialog(dialog, IDOK);
}

}  // namespace app::engine
