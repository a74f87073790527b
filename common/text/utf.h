// UTF-8 / UTF-16 conversion and case folding for the portable core.
#pragma once

#include <string>
#include <string_view>

namespace hg::text {

// Invalid or truncated sequences become U+FFFD; conversion never fails.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Lower-case form used to compare keys and site names without regard to letter
// case: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic capitals are mapped.
std::string FoldCase(std::string_view utf8);

}  // namespace hg::text
