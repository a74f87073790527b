// The system's message box and the program's input box.
#pragma once

#include <windows.h>

#include "app/engine/user_dialogs.h"

namespace app::engine {

class SystemDialogs final : public UserDialogs {
 public:
  explicit SystemDialogs(HINSTANCE instance) noexcept : instance_(instance) {}

  int ShowMessageBox(const std::string& prompt, int style, const std::string& title) override;
  std::optional<std::string> ShowInputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText, std::optional<int> x,
                                      std::optional<int> y) override;

 private:
  HINSTANCE instance_;
};

}  // namespace app::engine
