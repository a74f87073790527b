// The program's string table.
#pragma once

#include <string>

namespace app::engine {

// The string `id` of the running program's string table; empty when it has none.
std::wstring ProgramWideString(unsigned id);
// The same in UTF-8.
std::string ProgramString(unsigned id);

}  // namespace app::engine
