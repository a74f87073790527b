// The system's message box and the program's input box.
#include "app/engine/user_dialogs_win.h"

#include "app/engine/input_box_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

namespace app::engine {
namespace {

// Twips to pixels of the screen: 1440 twips per logical inch.
int TwipsToPixels(int twips, bool horizontal) {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, horizontal ? LOGPIXELSX : LOGPIXELSY) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return ::MulDiv(twips, dpi, 1440);
}

}  // namespace

int SystemDialogs::ShowMessageBox(const std::string& prompt, int style, const std::string& title) {
  const int pressed = ::MessageBoxW(::GetActiveWindow(), hg::win::Widen(prompt).c_str(),
                                    hg::win::Widen(title).c_str(), static_cast<UINT>(style));
  THROW_LAST_ERROR_IF(pressed == 0);
  return pressed;
}

std::optional<std::string> SystemDialogs::ShowInputBox(const std::string& prompt,
                                                   const std::string& title,
                                                   const std::string& defaultText,
                                                   std::optional<int> x, std::optional<int> y) {
  InputBoxDialog dialog;
  dialog.prompt = hg::win::Widen(prompt);
  dialog.title = hg::win::Widen(title);
  dialog.text = hg::win::Widen(defaultText);
  if (x && y) dialog.at = POINT{TwipsToPixels(*x, true), TwipsToPixels(*y, false)};
  if (!dialog.Show(instance_, ::GetActiveWindow())) return std::nullopt;
  return hg::win::Narrow(dialog.text);
}

}  // namespace app::engine
