// What the launcher starts.
#include "components/hedgerun/launch.h"

#include <algorithm>

#include "common/product_ids.h"

namespace hg::hedgerun {
namespace {

constexpr std::string_view kBlanks = " \t";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return Lower(x) == Lower(y); });
}

// The name of an entry; hidden entries ("=C:=C:\dir") start with their '='.
std::string_view NameOf(std::string_view entry) {
  const auto equals = entry.find('=', 1);
  return entry.substr(0, equals);
}

}  // namespace

std::string FolderArgument(std::string_view commandLine) {
  const auto first = commandLine.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  std::string_view folder = commandLine.substr(first, commandLine.find_last_not_of(kBlanks) - first + 1);
  if (folder.front() == '"') {
    folder.remove_prefix(1);
    folder = folder.substr(0, folder.find('"'));
  }
  return std::string(folder);
}

std::string ProgramIn(std::string_view folder) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  return path + "Hedgerow.exe";
}

std::vector<std::string> MarkedEnvironment(std::vector<std::string> entries) {
  std::erase_if(entries, [](const std::string& entry) {
    return SameName(NameOf(entry), product::kRestartedVariable);
  });
  entries.push_back(std::string(product::kRestartedVariable) + "=" + product::kRestartedValue);
  return entries;
}

std::string MissingProgramMessage(std::string_view program) {
  return "Hedgerow cannot be started: the program \"" + std::string(program) +
         "\" does not exist. Try to reinstall Hedgerow.";
}

std::string NoFolderMessage() {
  return "Hedgerow cannot be started: the launcher was not told the program's folder.";
}

std::string StartFailedMessage(std::string_view program, std::string_view reason) {
  return "Hedgerow cannot be started from \"" + std::string(program) + "\". " + std::string(reason);
}

}  // namespace hg::hedgerun
