// The program's message box and input box, behind a seam that tests replace.
#include "app/engine/user_dialogs.h"

#include <stdexcept>

namespace app::engine {
namespace {

UserDialogs* g_dialogs = nullptr;
std::string g_productName;

UserDialogs& Dialogs() {
  if (!g_dialogs) throw std::logic_error("No dialogs are installed.");
  return *g_dialogs;
}

const std::string& TitleOrProductName(const std::string& title) {
  return title.empty() ? g_productName : title;
}

}  // namespace

UserDialogs* SetUserDialogs(UserDialogs* dialogs) noexcept {
  UserDialogs* previous = g_dialogs;
  g_dialogs = dialogs;
  return previous;
}

void SetProductName(std::string name) { g_productName = std::move(name); }

int AppMsgBox(const std::string& prompt, int style, const std::string& title) {
  return Dialogs().ShowMessageBox(prompt, style, TitleOrProductName(title));
}

std::string AppInputBox(const std::string& prompt, const std::string& title,
                        const std::string& defaultText, std::optional<int> x,
                        std::optional<int> y) {
  return Dialogs().ShowInputBox(prompt, TitleOrProductName(title), defaultText, x, y).value_or("");
}

}  // namespace app::engine
