// What the open-file dialog asks for.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace app {

struct OpenFileRequest {
  std::string title;
  // Pairs of a description and its patterns ("*.bak"); the first is selected.
  std::vector<std::pair<std::string, std::string>> filters;
  std::string initialFolder;
};

}  // namespace app
