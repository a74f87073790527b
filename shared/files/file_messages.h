// The texts the file class reports through FalseCause and its errors.
#pragma once

#include <string>
#include <string_view>

namespace tk::file_messages {

std::string InvalidPath(std::string_view path);          // RemoveFolder2
std::string InvalidFolder(std::string_view folder);      // RemoveFolderTree
std::string InvalidFileOrFolder(std::string_view path);  // CopyFileOrFolder, too short
std::string InvalidCopySource(std::string_view path);    // CopyFileOrFolder, no backslash
std::string NotFound(std::string_view path);             // IsFolder
std::string FileTooLarge(std::string_view path);         // LoadFileB

// CopyFileOrFolder of a folder into itself or below itself.
inline constexpr std::string_view kDestinationInsideSource =
    "The destination lies inside the folder to copy.";

// A failed delete: the system's message directly followed by ('path').
std::string DeleteFailed(std::string_view systemMessage, std::string_view path);

// A failed copy, naming both paths as the caller gave them; the system's
// message is ended by ". " unless it already ends in "." or ". ".
std::string CopyFailed(std::string_view source, std::string_view destination,
                       std::string_view systemMessage);

}  // namespace tk::file_messages
