// Path rules of the file class.
#include "shared/files/file_paths.h"

#include <vector>

namespace tk {
namespace {

constexpr std::string_view kPrefix = "\\\\?\\";
constexpr std::string_view kUncPrefix = "\\\\?\\UNC\\";

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsDrive(std::string_view name) {
  return name.size() == 2 && IsDriveLetter(name[0]) && name[1] == ':';
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The components of a path's tail with "." and ".." resolved; ".." at the top
// stays at the top. A component of dots and blanks only is the folder itself,
// as the system drops trailing dots and blanks.
std::vector<std::string_view> Components(std::string_view tail) {
  std::vector<std::string_view> components;
  std::size_t start = 0;
  while (start <= tail.size()) {
    std::size_t end = start;
    while (end < tail.size() && !IsSeparator(tail[end])) ++end;
    const std::string_view name = tail.substr(start, end - start);
    if (name == "..") {
      if (!components.empty()) components.pop_back();
    } else if (name.find_first_not_of(". ") != std::string_view::npos) {
      components.push_back(name);
    }
    start = end + 1;
  }
  return components;
}

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

RootKind RootKindOf(std::string_view path) {
  if (path.size() >= 2 && IsDrive(path.substr(0, 2))) {
    if (path.size() == 2 || !IsSeparator(path[2])) return RootKind::None;  // drive-relative
    return Components(path.substr(3)).empty() ? RootKind::Drive : RootKind::None;
  }
  if (path.empty() || !IsSeparator(path[0])) return RootKind::None;
  const bool doubled = path.size() >= 2 && IsSeparator(path[1]);
  const bool deviceSpace = path.size() >= 4 && IsSeparator(path[3]) &&
                           ((doubled && (path[2] == '?' || path[2] == '.')) ||
                            (path[1] == '?' && path[2] == '?'));
  if (deviceSpace) {
    const auto names = Components(path.substr(4));
    if (names.empty()) return RootKind::Device;
    if (IsDrive(names[0])) return names.size() == 1 ? RootKind::Drive : RootKind::None;
    if (EqualsIgnoringCase(names[0], "UNC")) return names.size() <= 3 ? RootKind::Share : RootKind::None;
    const std::size_t rootLength = EqualsIgnoringCase(names[0], "GLOBALROOT") ? 3 : 1;
    return names.size() <= rootLength ? RootKind::Device : RootKind::None;
  }
  if (doubled) return Components(path.substr(2)).size() <= 2 ? RootKind::Share : RootKind::None;
  // Rooted on the current drive: "\" alone is its root.
  return Components(path.substr(1)).empty() ? RootKind::Drive : RootKind::None;
}

bool IsFileNamePattern(std::string_view mask) {
  return mask.find_first_of("\\/") == std::string_view::npos;
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
