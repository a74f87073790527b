// Path rules of the file class.
#include "shared/files/file_paths.h"

namespace tk {
namespace {

constexpr std::string_view kPrefix = "\\\\?\\";
constexpr std::string_view kUncPrefix = "\\\\?\\UNC\\";

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string MergeFolderAndSubobject(std::string_view parent, std::string_view child) {
  if (parent.empty()) return std::string(child);
  std::string merged(parent);
  if (merged.back() != '\\') merged += '\\';
  return merged.append(child);
}

std::string WithLongPathPrefix(std::string_view path) {
  if (path.starts_with(kPrefix)) return std::string(path);
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && path[2] == '\\') {
    return std::string(kPrefix).append(path);
  }
  if (path.starts_with("\\\\") && !path.starts_with("\\\\.\\") && path.size() > 2) {
    return std::string(kUncPrefix).append(path.substr(2));
  }
  return std::string(path);
}

bool TakesLongPathPrefix(std::string_view path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
    return true;
  }
  if (path.size() <= 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  // "\\.\" and "\\?\" (either separator) are device paths, or already prefixed.
  const bool isDevice = path.size() >= 4 && (path[2] == '.' || path[2] == '?') && IsSeparator(path[3]);
  return !isDevice;
}

std::string WithTrailingBackslash(std::string_view path) {
  std::string result(path);
  if (result.empty() || result.back() != '\\') result += '\\';
  return result;
}

std::string WithoutTrailingBackslash(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::optional<std::string> ParentToCreate(std::string_view folder) {
  const std::string path = WithoutTrailingBackslash(folder);
  const std::size_t last = path.rfind('\\');
  // A backslash among the first three characters ends a drive root ("C:\").
  if (last == std::string::npos || last < 3) return std::nullopt;
  if (path.starts_with("\\\\")) {
    // The backslash that ends the root: after the drive behind "\\?\", or
    // after the server of "\\?\UNC\server\share" and "\\server\share".
    std::size_t root;
    if (path.starts_with(kUncPrefix)) {
      root = path.find('\\', kUncPrefix.size());
    } else if (path.starts_with(kPrefix)) {
      root = path.find('\\', kPrefix.size());
    } else {
      root = path.find('\\', 2);
    }
    if (root == std::string::npos || last <= root) return std::nullopt;
  }
  return path.substr(0, last);
}

std::optional<CopyPlan> PlanCopy(std::string_view source, std::string_view copyTo) {
  CopyPlan plan{WithoutTrailingBackslash(source), {}};
  const std::size_t last = plan.source.rfind('\\');
  if (last == std::string::npos) return std::nullopt;
  plan.destination = std::string(copyTo);
  if (!copyTo.empty() && copyTo.back() == '\\') plan.destination += plan.source.substr(last + 1);
  return plan;
}

bool IsSameOrInside(std::string_view path, std::string_view folder) {
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  if (!path.starts_with(folder)) return false;
  return path.size() == folder.size() || path[folder.size()] == '\\';
}

}  // namespace tk
