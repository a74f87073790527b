// Writing through a file handle, whatever the size.
#pragma once

#include <windows.h>

#include <string_view>

namespace hg::win {

// Writes every byte at the handle's position, in pieces WriteFile takes;
// throws on failure, and when the system takes nothing.
void WriteAll(HANDLE file, std::string_view bytes);

}  // namespace hg::win
