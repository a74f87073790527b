// UTF-8 <-> UTF-16 at the Win32 and COM edge.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/win/unique_any.h"

namespace hg::win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// A BSTR carries its length; a null BSTR is the empty text.
std::string FromBstr(BSTR text);

// A new BSTR holding the text; throws HResultError(E_OUTOFMEMORY) on failure.
unique_bstr MakeBstr(std::string_view utf8);
unique_bstr MakeBstr(std::wstring_view utf16);

// The system code page (CP_ACP) <-> UTF-16, for files whose bytes are in it.
// Characters the code page lacks become its replacement character.
std::wstring AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::wstring_view utf16);
// Nothing when a character has no exact form in the system code page (where
// WideToAnsi would put a look-alike or "?").
std::optional<std::string> WideToAnsiExact(std::wstring_view utf16);

// A string of a module's string table; empty when it has no such id.
std::wstring LoadResourceString(HMODULE module, UINT id);

}  // namespace hg::win
