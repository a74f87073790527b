// The library's form of a system message: one line, blanks folded.
#pragma once

#include <string>
#include <string_view>

namespace tk {

// Every CR and LF becomes a blank, then every run of two blanks becomes one in
// a single left-to-right pass (so four blanks become two).
std::string CleanSystemMessage(std::string_view message);

// The system's message for a Win32 error code or an HRESULT, cleaned; empty
// when the system has none. Windows only.
std::string SystemMessageText(unsigned long code);

}  // namespace tk
