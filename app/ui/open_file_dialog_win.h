// The system's open-file dialog: the common item dialog, or the classic one
// where that is missing. The file must exist; there is no read-only box.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/engine/user_dialogs.h"

namespace app::ui {

// The chosen file's path; nothing when the user cancels. Throws HResultError
// when the dialog cannot be shown.
std::optional<std::string> ShowOpenFileDialog(HWND owner, const OpenFileRequest& request);

// The classic dialog alone, for systems without the common item dialog.
std::optional<std::string> ShowClassicOpenFileDialog(HWND owner, const OpenFileRequest& request);

}  // namespace app::ui
