// The input box dialog: a prompt, a one-line edit field, OK and Cancel.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace app::engine {

// Fields are set before Show and read after it.
class InputBoxDialog final {
 public:
  std::wstring prompt;
  std::wstring title;
  std::wstring text;        // preset before, the edited text after OK
  std::optional<POINT> at;  // top-left corner in pixels; centred on the owner otherwise

  InputBoxDialog() = default;
  InputBoxDialog(const InputBoxDialog&) = delete;
  InputBoxDialog& operator=(const InputBoxDialog&) = delete;

  // Modal; true when the user pressed OK. Throws HResultError when the
  // dialog cannot be shown.
  bool Show(HINSTANCE instance, HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog(HWND dialog);
  void OnOk(HWND dialog);
};

}  // namespace app::engine
