// Starts the program from the folder rundll32 hands over.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace hg::hedgerun {

// Shows the launcher's one kind of message; tests answer it themselves.
using MessageSeam = std::function<void(const std::wstring& text)>;

// A message box with the stop icon and the product's name as title.
void ShowMessageBox(const std::wstring& text);

// Starts Hedgerow.exe from the folder in commandLine, marked as restarted,
// shown as `show` asks. Returns false after telling the user why it could not.
bool StartProgram(std::wstring_view commandLine, int show, const MessageSeam& showMessage) noexcept;

}  // namespace hg::hedgerun
