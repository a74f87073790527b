// The library's form of a system message: one line, blanks folded.
#include "shared/system_message.h"

namespace tk {

std::string CleanSystemMessage(std::string_view message) {
  std::string oneLine(message);
  for (char& c : oneLine) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  std::string folded;
  folded.reserve(oneLine.size());
  for (std::size_t i = 0; i < oneLine.size(); ++i) {
    folded += oneLine[i];
    if (oneLine[i] == ' ' && i + 1 < oneLine.size() && oneLine[i + 1] == ' ') ++i;
  }
  return folded;
}

std::string ErrorTextOf(unsigned long code, bool isVista, std::string_view systemMessage) {
  if (code != 0) return std::string(systemMessage);
  return isVista ? "Undefined Vista error." : "Undefined error.";
}

}  // namespace tk
