// The system's message box and open-file dialog, the program's input box.
#pragma once

#include "app/engine/user_dialogs.h"

namespace app::ui {

class SystemDialogs final : public UserDialogs {
 public:
  int ShowMessageBox(const std::string& prompt, int style, const std::string& title) override;
  std::optional<std::string> ShowInputBox(const std::string& prompt, const std::string& title,
                                          const std::string& defaultText, std::optional<int> x,
                                          std::optional<int> y) override;
  std::optional<std::string> ShowOpenFile(const OpenFileRequest& request) override;
};

}  // namespace app::ui
