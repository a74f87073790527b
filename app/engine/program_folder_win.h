// The program's own folders: the data folder of the logs, the backup folder.
#pragma once

#include <string>

namespace app {

// The folder of the program's executable, without a trailing backslash.
std::wstring ProgramFolder();

// Creates `folder` with its missing parents. Each new folder takes the
// access rules its parent hands down, so that it is no more open than the
// place it is in (under Program Files: writable by administrators only).
// Throws HResultError when a folder cannot be created.
void EnsureProgramFolder(const std::wstring& folder);

}  // namespace app
