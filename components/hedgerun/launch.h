// What the launcher starts: the program in the folder rundll32 hands over, with
// the environment that marks it as restarted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hg::hedgerun {

// The folder in rundll32's command line: blanks around it and one pair of
// quotes dropped; blanks inside stay (a long path that has no short form).
std::string FolderArgument(std::string_view commandLine);

// The program's full path in that folder.
std::string ProgramIn(std::string_view folder);

// The child's environment: every entry of the current one ("NAME=value"), with
// the marker set, replacing an entry of that name in any letter case.
std::vector<std::string> MarkedEnvironment(std::vector<std::string> entries);

std::string MissingProgramMessage(std::string_view program);
std::string NoFolderMessage();
std::string StartFailedMessage(std::string_view program, std::string_view reason);

}  // namespace hg::hedgerun
