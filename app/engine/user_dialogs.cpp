// The program's message box and input box, behind a seam that tests replace.
#include "app/engine/user_dialogs.h"

#include <stdexcept>

#include "app/engine/services.h"

namespace app::engine {
namespace {

UserDialogs& Dialogs() {
  UserDialogs* dialogs = CurrentServices().dialogs;
  if (!dialogs) throw std::logic_error("No dialogs are installed.");
  return *dialogs;
}

const std::string& TitleOrProductName(const std::string& title) {
  return title.empty() ? CurrentServices().productName : title;
}

}  // namespace

int AppMsgBox(const std::string& prompt, int style, const std::string& title) {
  return Dialogs().ShowMessageBox(prompt, style, TitleOrProductName(title));
}

std::string AppInputBox(const std::string& prompt, const std::string& title,
                        const std::string& defaultText, std::optional<int> x,
                        std::optional<int> y) {
  return Dialogs().ShowInputBox(prompt, TitleOrProductName(title), defaultText, x, y).value_or("");
}

std::optional<std::string> AppOpenFile(const OpenFileRequest& request) {
  return Dialogs().ShowOpenFile(request);
}

}  // namespace app::engine
