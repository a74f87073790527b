// The texts of the site lists.
#include "app/lists/site_names.h"

#include <unordered_set>

#include "common/text/utf.h"

namespace app::lists {
namespace {

constexpr std::size_t kNamesShown = 20;

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string SiteKey(std::string_view name) { return hg::text::FoldCase(name); }

std::string NormalizeSiteName(std::string_view typed) {
  std::string name(TrimBlanks(typed));
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  if (const std::size_t scheme = name.find("//"); scheme != std::string::npos) {
    name.erase(0, scheme + 2);
  }
  if (const std::size_t path = name.find('/'); path != std::string::npos) name.resize(path);
  return std::string(TrimBlanks(name));
}

std::vector<std::string> TypedSites(std::string_view text) {
  std::vector<std::string> sites;
  std::unordered_set<std::string> seen;
  // A CR LF pair is one line end; so is a lone CR or LF. A run of line ends
  // only makes empty lines, which are skipped anyway.
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimBlanks(text.substr(start, end - start));
    if (!line.empty() && seen.insert(SiteKey(line)).second) sites.emplace_back(line);
    start = end + 1;
  }
  return sites;
}

std::string NamesText(const std::vector<std::string>& names) {
  if (names.empty()) return {};
  const std::size_t shown = std::min(names.size(), kNamesShown);
  const bool more = names.size() > kNamesShown;
  std::string text = names[0];
  for (std::size_t i = 1; i < shown; ++i) {
    text += (i + 1 == shown && !more) ? " and " : ", ";
    text += names[i];
  }
  if (more) text += " and " + std::to_string(names.size() - kNamesShown) + " more";
  return text;
}

}  // namespace app::lists
