// The system's message box and open-file dialog, the program's input box.
#include "app/ui/system_dialogs_win.h"

#include <windows.h>

#include "app/ui/input_box_win.h"
#include "app/ui/open_file_dialog_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

namespace app::ui {

int SystemDialogs::ShowMessageBox(const std::string& prompt, int style, const std::string& title) {
  const int pressed = ::MessageBoxW(::GetActiveWindow(), hg::win::Widen(prompt).c_str(),
                                    hg::win::Widen(title).c_str(), static_cast<UINT>(style));
  THROW_LAST_ERROR_IF(pressed == 0);
  return pressed;
}

std::optional<std::string> SystemDialogs::ShowInputBox(const std::string& prompt,
                                                       const std::string& title,
                                                       const std::string& defaultText,
                                                       std::optional<int> x,
                                                       std::optional<int> y) {
  const HWND owner = ::GetActiveWindow();
  InputBoxDialog dialog(CurrentServices());
  dialog.prompt = hg::win::Widen(prompt);
  dialog.title = hg::win::Widen(title);
  dialog.text = hg::win::Widen(defaultText);
  if (x && y) {
    // Twips at the DPI of the owner's monitor.
    const int dpi = DpiOf(owner);
    dialog.at = POINT{TwipsToPixels(*x, dpi), TwipsToPixels(*y, dpi)};
  }
  if (dialog.ShowModal(owner) != IDOK) return std::nullopt;
  return hg::win::Narrow(dialog.text);
}

std::optional<std::string> SystemDialogs::ShowOpenFile(const OpenFileRequest& request) {
  return ShowOpenFileDialog(::GetActiveWindow(), request);
}

}  // namespace app::ui
