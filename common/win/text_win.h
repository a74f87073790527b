// UTF-8 <-> UTF-16 at the Win32 and COM edge.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/win/result.h"
#include "common/win/unique_any.h"

namespace hg::win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// A BSTR carries its length; a null BSTR is the empty text.
std::string FromBstr(BSTR text);

// A caller's text that the system would not take whole: a name holding a NUL
// (the system reads a name up to its first one), a text longer than the
// system expands. E_INVALIDARG with a description.
class RefusedText : public HResultError {
 public:
  explicit RefusedText(std::string description)
      : HResultError(E_INVALIDARG, std::move(description)) {}
};

// A caller's text that names something to the system (a path, a mask, a key
// or value name) as UTF-8. Cut at a NUL it would name something the caller
// never named, so a name holding one throws RefusedText naming the parameter.
std::string NameFromBstr(BSTR name, std::string_view parameter);
// The same, kept in UTF-16 (a path the system takes as it stands).
std::wstring_view WideNameFromBstr(BSTR name, std::string_view parameter);
// The same for a name that reached us in another form (a VARIANT).
std::string NameFromText(std::string text, std::string_view parameter);

// A Boolean operation on a caller's texts: a refused text makes it false with
// the reason, before anything is touched.
template <typename Operation>
bool FalseOnRefusedText(std::string& falseCause, Operation&& operation) {
  try {
    return operation();
  } catch (const RefusedText& refused) {
    falseCause = refused.description();
    return false;
  }
}

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
