// The texts of the site lists: cleaning a typed site name, the lines of the
// bulk block dialog, the names a confirmation lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app::lists {

// Blanks around, a scheme ("...//") before and a path ("/...") after the host
// go; "\" counts as "/". The case stays; the result may be empty.
std::string NormalizeSiteName(std::string_view typed);

// The lines of a text typed or pasted (CR LF, LF or CR line ends), without
// blanks around them, empty ones skipped, each once whatever its letter case,
// in typed order.
std::vector<std::string> TypedSites(std::string_view text);

// "A", "A and B", "A, B and C"; beyond 20 names the first 20 and then
// " and N more", so that a confirmation fits on the screen.
std::string NamesText(const std::vector<std::string>& names);

// The key both lists compare site names by: the lowercase form.
std::string SiteKey(std::string_view name);

}  // namespace app::lists
