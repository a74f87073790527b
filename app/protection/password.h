// The stored form of the password: the text reversed with a random filler
// digit after each character. It hides the password from a glance at the
// registry; it is not a hash (docs/password-protection.md).
#pragma once

#include <string>
#include <string_view>

namespace app::protection {

// The text without leading and trailing blanks.
std::string TrimBlanks(std::string_view text);

// The stored form of the trimmed text: twice as long, different each time.
std::string EncodePassword(std::string_view text);

// The password a stored form holds, whatever its length.
std::string DecodePassword(std::string_view stored);

// One "*" per character: how a typed password appears in the log.
std::string MaskedText(std::string_view text);

}  // namespace app::protection
