// The texts the file class reports through FalseCause and its errors.
#include "shared/files/file_messages.h"

namespace tk {
namespace {

std::string Quoted(std::string_view before, std::string_view text) {
  return std::string(before).append("'").append(text).append("'");
}

}  // namespace

std::string InvalidPath(std::string_view path) { return Quoted("Invalid path: ", path); }
std::string InvalidFolder(std::string_view folder) { return Quoted("Invalid folder:", folder); }
std::string InvalidFileOrFolder(std::string_view path) {
  return Quoted("Invalid FileOrFolder: ", path);
}
std::string InvalidCopySource(std::string_view path) { return Quoted("Invalid Folder: ", path); }
std::string NotFound(std::string_view path) {
  return Quoted("File or folder not found: ", path) + ".";
}
std::string FileTooLarge(std::string_view path) {
  return Quoted("File too large to load as bytes (2 GB or more): ", path) + ".";
}

std::string RootNeverRemoved(RootKind kind, std::string_view path) {
  const char* what = kind == RootKind::Share    ? "the root of a share"
                     : kind == RootKind::Device ? "a volume or device"
                                                : "the root of a drive";
  return Quoted("", path) + " names " + what + ", which is never removed.";
}

std::string MaskWithFolder(std::string_view mask) {
  return Quoted("A file mask names files in the folder itself, without a folder part: ", mask) +
         ".";
}

std::string CreateFolderFailed(std::string_view path, std::string_view systemMessage) {
  return Quoted("Cannot create the folder ", path) + ". " + std::string(systemMessage);
}

std::string DeleteFailed(std::string_view systemMessage, std::string_view path) {
  return std::string(systemMessage).append("('").append(path).append("')");
}

std::string CopyFailed(std::string_view source, std::string_view destination,
                       std::string_view systemMessage) {
  std::string message(systemMessage);
  if (!message.ends_with(".") && !message.ends_with(". ")) message += ". ";
  return Quoted("Cannot copy file ", source) + Quoted(" to ", destination) + ". " + message;
}

}  // namespace tk
