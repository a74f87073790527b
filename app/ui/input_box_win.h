// The input box dialog: a prompt, a one-line edit field, OK and Cancel.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/ui/window_win.h"

namespace app::ui {

// Fields are set before ShowModal and read after it; the result is IDOK or IDCANCEL.
class InputBoxDialog final : public Dialog {
 public:
  explicit InputBoxDialog(Services& services);

  std::wstring prompt;
  std::wstring title;
  std::wstring text;        // preset before, the edited text after OK
  std::optional<POINT> at;  // top-left corner in pixels; centred on the owner otherwise

 private:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
};

}  // namespace app::ui
