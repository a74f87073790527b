// The library's form of a system message: one line, blanks folded.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace tk {

// Every CR and LF becomes a blank, then every run of two blanks becomes one in
// a single left-to-right pass (so four blanks become two).
std::string CleanSystemMessage(std::string_view message);

// The error text of a code: the system's message for a non-zero code, for 0
// "Undefined Vista error." on the Vista family and "Undefined error." elsewhere.
std::string ErrorTextOf(unsigned long code, bool isVista, std::string_view systemMessage);

// The system's message for a Win32 error code or an HRESULT, cleaned; empty
// when the system has none. Windows only.
std::string SystemMessageText(unsigned long code);

// ErrorTextOf with this thread's library flags and the system's message.
// Windows only.
std::string ErrorText(unsigned long code);

// What a caught failure says in a FalseCause: its description, or for a
// failure with an HRESULT and no description the system's message for it.
// Windows only.
std::string DescriptionOf(const std::exception& failure);

}  // namespace tk
