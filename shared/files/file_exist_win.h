// The library's existence test of a path, shared by the file and global classes.
#pragma once

#include <string>

namespace tk {

// One trailing backslash is dropped; true when anything matches the path (a
// file, a folder, or any match of wildcards in it).
bool IsFileExist(std::wstring path) noexcept;

}  // namespace tk
