// Writing through a file handle, whatever the size; a module's file name,
// however long.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace hg::win {

// Writes every byte at the handle's position, in pieces WriteFile takes;
// throws on failure, and when the system takes nothing.
void WriteAll(HANDLE file, std::string_view bytes);

// The full path of a module's file (null: the program's); throws on failure.
std::wstring ModuleFileName(HMODULE module);

}  // namespace hg::win
