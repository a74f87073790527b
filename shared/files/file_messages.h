// The texts the file class reports through FalseCause and its errors.
#pragma once

#include <string>
#include <string_view>

#include "shared/files/file_paths.h"

namespace tk {

std::string InvalidPath(std::string_view path);          // RemoveFolder2
std::string InvalidFolder(std::string_view folder);      // RemoveFolderTree
std::string InvalidFileOrFolder(std::string_view path);  // CopyFileOrFolder, too short
std::string InvalidCopySource(std::string_view path);    // CopyFileOrFolder, no backslash
std::string NotFound(std::string_view path);             // IsFolder
std::string FileTooLarge(std::string_view path);         // LoadFileB

// CopyFileOrFolder of a folder into itself or below itself.
inline constexpr std::string_view kFolderInsideSource =
    "The destination lies inside the folder to copy.";

// RemoveFolder2 of a root: the path as the caller gave it.
std::string RootNeverRemoved(RootKind kind, std::string_view path);
// DeleteFilesByMask2 with a mask that holds a folder part.
std::string MaskWithFolder(std::string_view mask);
// CopyFileOrFolder could not make a folder of the copy.
std::string CreateFolderFailed(std::string_view path, std::string_view systemMessage);

// A failed delete: the system's message directly followed by ('path').
std::string DeleteFailed(std::string_view systemMessage, std::string_view path);

// A failed copy, naming both paths as the caller gave them; the system's
// message is ended by ". " unless it already ends in "." or ". ".
std::string CopyFailed(std::string_view source, std::string_view destination,
                       std::string_view systemMessage);

}  // namespace tk
