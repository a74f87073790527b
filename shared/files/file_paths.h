// Path rules of the file class: joining, the long-path prefix, the parent a
// folder creation climbs to, and where a copy goes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/tree_walk.h"

namespace tk {

// Parent & "\" & child, without doubling a trailing backslash of the parent;
// an empty parent gives the child. The child is never inspected.
std::string MergeFolderAndSubobject(std::string_view parent, std::string_view child);

// The long-path form of an absolute path: "\\?\" before a drive path,
// "\\?\UNC\" for "\\server\share". Relative paths, device paths and paths that
// already carry the prefix stay as they are: the prefix would make them invalid.
std::string WithLongPathPrefix(std::string_view path);

// Whether the path is absolute and takes the long-path prefix once made whole:
// a drive path or a server share, with "\\" or "/" as separators. Relative
// paths, device paths and prefixed paths do not.
bool TakesLongPathPrefix(std::string_view path);

std::string WithTrailingBackslash(std::string_view path);

// The folder to create before `folder` can be created, or nothing when it sits
// directly on its root (a drive root, behind the prefix, or a server share).
std::optional<std::string> ParentToCreate(std::string_view folder);

// Creates `folder` and the folders missing above it, without recursion: a
// path may hold thousands of missing levels. create(path) returns the
// system's error (0 on success); ERROR_PATH_NOT_FOUND (3) climbs to the parent
// (ParentToCreate), which is created first. Returns the error of the last
// creation tried for `folder` itself, or of the highest level that could not
// be created.
template <typename Create>
unsigned long CreateWithParents(const std::string& folder, Create&& create) {
  constexpr unsigned long kPathNotFound = 3;
  std::vector<std::string> missing{folder};
  unsigned long error = create(missing.back());
  while (error == kPathNotFound) {
    std::optional<std::string> parent = ParentToCreate(missing.back());
    if (!parent) return error;
    missing.push_back(std::move(*parent));
    error = create(missing.back());
  }
  missing.pop_back();
  while (!missing.empty()) {
    error = create(missing.back());
    missing.pop_back();
  }
  return error;
}

// The root a whole path names, if it names one: a drive's ("C:\"), a share's
// ("\\server\share"), or a device's or volume's ("\\?\Volume{...}\",
// "\\.\C:", "\\?\GLOBALROOT\Device\HarddiskVolume1"). Either separator,
// repeated separators, "." and ".." are resolved first, as the system may
// resolve them; ".." never climbs above the root. A relative path names none.
enum class RootKind { None, Drive, Share, Device };
RootKind RootKindOf(std::string_view path);

// A file-name pattern: no folder part (no separator of either kind).
bool IsFileNamePattern(std::string_view mask);

// Where CopyFileOrFolder puts a source: the source without its trailing
// backslash, and the destination (inside copyTo when it ends in "\", else
// copyTo itself). Nothing when the source holds no backslash.
struct CopyPlan {
  std::string source;
  std::string destination;
};
std::optional<CopyPlan> PlanCopy(std::string_view source, std::string_view copyTo);

// Whether path is folder itself or lies below it, compared exactly on whole
// components ("C:\ab" is not inside "C:\a"); trailing backslashes do not count.
bool IsSameOrInside(std::string_view path, std::string_view folder);

}  // namespace tk
