// The program's message box, input box and open-file dialog, behind a seam
// that tests replace.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace app::engine {

// Button sets and icons of the message box, as the system defines them.
enum MessageBoxStyle : int {
  kOkOnly = 0,
  kOkCancel = 1,
  kIconStop = 16,
  kIconExclamation = 48,
  kIconInformation = 64,
};
enum MessageBoxResult : int { kResultOk = 1, kResultCancel = 2 };

// What the open-file dialog asks for.
struct OpenFileRequest {
  std::string title;
  // Pairs of a description and its patterns ("*.bak"); the first is selected.
  std::vector<std::pair<std::string, std::string>> filters;
  std::string initialFolder;
};

// What shows dialogs to the user. The program's services hold the system's;
// tests hold one that answers by itself.
class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // Returns the button pressed (kResultOk, kResultCancel, ...).
  virtual int ShowMessageBox(const std::string& prompt, int style, const std::string& title) = 0;
  // Returns the edited text on OK, nothing on Cancel. x and y: the dialog's
  // top-left corner in twips, when given.
  virtual std::optional<std::string> ShowInputBox(const std::string& prompt, const std::string& title,
                                              const std::string& defaultText,
                                              std::optional<int> x, std::optional<int> y) = 0;
  // The path of the existing file the user picks; nothing on Cancel.
  virtual std::optional<std::string> ShowOpenFile(const OpenFileRequest& request) = 0;
};

// A modal message box through the installed services' dialogs; an empty
// title becomes the product name.
int AppMsgBox(const std::string& prompt, int style, const std::string& title);

// A modal one-line input box; an empty title becomes the product name.
// Cancel gives empty text, the same as confirming an emptied field.
std::string AppInputBox(const std::string& prompt, const std::string& title,
                        const std::string& defaultText = {}, std::optional<int> x = {},
                        std::optional<int> y = {});

// The open-file dialog through the installed services' dialogs.
std::optional<std::string> AppOpenFile(const OpenFileRequest& request);

}  // namespace app::engine

// The engine's terms (failures, severities, the dialogs) are the vocabulary of
// the whole program: its other folders use them unqualified.
namespace app {
using namespace engine;
}  // namespace app
