// The hosts-file rules: which lines block a site, and the file that blocks
// exactly a given list.
#include "app/engine/hosts_file.h"

#include <unordered_set>

#include "common/text/utf.h"

namespace app::engine {
namespace {

constexpr std::string_view kLoopback = "127.0.0.1";
constexpr std::string_view kCrLf = "\r\n";

std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = (text[i] >= 'A' && text[i] <= 'Z') ? static_cast<char>(text[i] + 32) : text[i];
    if (c != lower[i]) return false;
  }
  return true;
}

// Calls visit with each non-empty line between CR and LF characters.
template <typename F>
void ForEachNonEmptyLine(std::string_view content, F&& visit) {
  size_t start = 0;
  while (start <= content.size()) {
    size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = content.size();
    if (end > start) visit(content.substr(start, end - start));
    start = end + 1;
  }
}

void StripTrailingCrLf(std::string& text) {
  while (text.size() >= 2 && text.compare(text.size() - 2, 2, kCrLf) == 0) {
    text.resize(text.size() - 2);
  }
}

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 32 || byte == 127;
}

}  // namespace

std::string ExtractHostName(std::string_view line) {
  // Tabs count as blanks; the separator is looked for from the eighth
  // character on, whatever stands before it.
  for (size_t i = 7; i < line.size(); ++i) {
    if (line[i] != ' ' && line[i] != '\t') continue;
    std::string name(line.substr(i));
    for (char& c : name) {
      if (c == '\t') c = ' ';
    }
    return std::string(TrimBlanks(name));
  }
  return {};
}

std::optional<std::string> ParseHostsLine(std::string_view line) {
  const std::string_view s = TrimBlanks(line);
  if (s.size() <= 10 || s.front() == '#') return std::nullopt;
  const size_t at = s.find(kLoopback);
  if (at == std::string_view::npos) return std::nullopt;
  // 127.0.0.11 is another address; 127.0.0.10 passes, as does anything else.
  const size_t after = at + kLoopback.size();
  if (after < s.size() && s[after] >= '1' && s[after] <= '9') return std::nullopt;
  std::string name = ExtractHostName(s);
  if (name.empty() || EqualsIgnoringAsciiCase(name, "localhost")) return std::nullopt;
  return name;
}

std::vector<std::string> BlockedSites(
    std::string_view content, const std::function<std::string(std::string_view)>& decode) {
  std::vector<std::string> sites;
  std::unordered_set<std::string> seen;
  // Every run of line ends is one separator: blank lines disappear.
  ForEachNonEmptyLine(content, [&](std::string_view line) {
    if (auto site = ParseHostsLine(line)) {
      std::string text = decode(*site);
      if (seen.insert(hg::text::FoldCase(text)).second) sites.push_back(std::move(text));
    }
  });
  return sites;
}

namespace {

// The name as a user can read it: each control character as \xNN.
std::string Visible(const std::string& site) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (char c : site) {
    if (IsControl(c)) {
      const auto byte = static_cast<unsigned char>(c);
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

UnsafeSiteName::UnsafeSiteName(const std::string& site)
    : std::invalid_argument("The web site name \"" + Visible(site) +
                            "\" holds a control character and cannot be blocked."),
      site_(site) {}

void RequireSafeSiteNames(const std::vector<std::string>& sites) {
  for (const std::string& site : sites) {
    for (char c : site) {
      if (IsControl(c)) throw UnsafeSiteName(site);
    }
  }
}

std::string ApplyBlockedContent(std::string_view content, const std::vector<std::string>& sites) {
  RequireSafeSiteNames(sites);
  std::string out;
  out.reserve(content.size() + sites.size() * (kEntryPrefix.size() + 32) + 2);

  // Lines are split at every CR and LF, except that a pair of line ends (CR
  // CR after LF became CR) counts once, in one left-to-right pass: a run of k
  // line ends becomes ceil(k/2), so CR LF files keep their blank lines.
  size_t start = 0;
  const size_t size = content.size();
  while (true) {
    size_t end = start;
    while (end < size && content[end] != '\r' && content[end] != '\n') ++end;
    const std::string_view line = content.substr(start, end - start);
    if (!ParseHostsLine(line)) {
      out.append(line);
      out.append(kCrLf);
    }
    if (end >= size) break;
    start = end + 1;
    if (start < size && (content[start] == '\r' || content[start] == '\n')) ++start;
  }
  StripTrailingCrLf(out);
  out.append(kCrLf);
  for (const std::string& site : sites) {
    out.append(kEntryPrefix);
    out.append(site);
    out.append(kCrLf);
  }
  StripTrailingCrLf(out);
  out.append(kCrLf);  // the one line end the file always ends with
  return out;
}

}  // namespace app::engine
