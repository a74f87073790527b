// The names of the files in a folder, for the tests that check what a write
// left behind.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace app::test {

// None when the folder does not exist.
inline std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  std::error_code missing;
  for (const auto& entry : std::filesystem::directory_iterator(folder, missing)) {
    names.push_back(entry.path().filename().wstring());
  }
  return names;
}

}  // namespace app::test
