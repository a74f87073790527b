// The hosts-file rules: which lines block a site, and the file that blocks
// exactly a given list.
#include "app/engine/hosts_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
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

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 32 || byte == 127;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The set of plain ASCII names seen so far, compared without regard to letter
// case in place: views into the file, in one flat table with linear probing,
// so a big file costs no allocation per name and few cache misses.
class AsciiNameSet {
 public:
  static std::uint32_t Hash(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (char c : text) hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 16777619u;
    return hash;
  }

  // Starts loading the slot a later Insert of this hash looks at first: in a
  // big file nearly every insert misses the cache, and misses started a few
  // names ahead overlap instead of following each other.
  void Prefetch(std::uint32_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
  }

  // True when the name (whose Hash is given) was not in the set yet.
  bool Insert(std::string_view name, std::uint32_t hash) {
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    for (size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
      Slot& slot = slots_[i];
      if (!slot.data) {
        slot = {name.data(), static_cast<std::uint32_t>(name.size()), hash};
        ++used_;
        return true;
      }
      if (slot.hash == hash && EqualsIgnoringAsciiCase({slot.data, slot.size}, name)) return false;
    }
  }

 private:
  struct Slot {
    const char* data = nullptr;
    std::uint32_t size = 0;
    std::uint32_t hash = 0;
  };

  void Grow() {
    std::vector<Slot> old(std::max<size_t>(64, slots_.size() * 2));
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (!slot.data) continue;
      size_t i = slot.hash & (slots_.size() - 1);
      while (slots_[i].data) i = (i + 1) & (slots_.size() - 1);
      slots_[i] = slot;
    }
  }

  std::vector<Slot> slots_;
  size_t used_ = 0;
};

// The name a block entry names, as a view into the line: ExtractHostName's
// result but for tabs inside it, which it turns into blanks.
struct BlockedName {
  std::string_view text;
  bool hasTab;

  std::string ToString() const {
    std::string name(text);
    if (hasTab) {
      for (char& c : name) {
        if (c == '\t') c = ' ';
      }
    }
    return name;
  }
};

std::optional<BlockedName> FindBlockedName(std::string_view line) {
  const std::string_view s = TrimBlanks(line);
  // A comment stays one however it is indented.
  const size_t first = s.find_first_not_of(" \t");
  if (s.size() <= 10 || first == std::string_view::npos || s[first] == '#') return std::nullopt;
  const size_t at = s.find(kLoopback);
  if (at == std::string_view::npos) return std::nullopt;
  // 127.0.0.11 is another address; 127.0.0.10 passes, as does anything else.
  const size_t after = at + kLoopback.size();
  if (after < s.size() && s[after] >= '1' && s[after] <= '9') return std::nullopt;
  // The separator is the first blank or tab from the eighth character on.
  const size_t separator = s.find_first_of(" \t", 7);
  if (separator == std::string_view::npos) return std::nullopt;
  const size_t start = s.find_first_not_of(" \t", separator);
  if (start == std::string_view::npos) return std::nullopt;
  const std::string_view name = s.substr(start, s.find_last_not_of(" \t") - start + 1);
  if (EqualsIgnoringAsciiCase(name, "localhost")) return std::nullopt;
  // A name with a control character (written by another tool) could never be
  // written back: it is not an entry the program manages, and stays as it is.
  if (std::any_of(name.begin(), name.end(), [](char c) { return c != '\t' && IsControl(c); })) {
    return std::nullopt;
  }
  return BlockedName{name, name.find('\t') != std::string_view::npos};
}

// Finds line ends with memchr, remembering the next CR and the next LF
// separately, so that a file with only one kind is still scanned once.
class LineEndFinder {
 public:
  explicit LineEndFinder(std::string_view content)
      : content_(content), nextCr_(Find('\r', 0)), nextLf_(Find('\n', 0)) {}

  // The position of the first CR or LF at or after `from`; the size at the end.
  size_t Next(size_t from) {
    if (nextCr_ < from) nextCr_ = Find('\r', from);
    if (nextLf_ < from) nextLf_ = Find('\n', from);
    return std::min(nextCr_, nextLf_);
  }

 private:
  size_t Find(char c, size_t from) const {
    if (from >= content_.size()) return content_.size();
    const void* found = std::memchr(content_.data() + from, c, content_.size() - from);
    return found ? static_cast<size_t>(static_cast<const char*>(found) - content_.data())
                 : content_.size();
  }

  std::string_view content_;
  size_t nextCr_;
  size_t nextLf_;
};

// Calls visit with each non-empty line between CR and LF characters.
template <typename F>
void ForEachNonEmptyLine(std::string_view content, F&& visit) {
  LineEndFinder lineEnds(content);
  size_t start = 0;
  while (start <= content.size()) {
    const size_t end = lineEnds.Next(start);
    if (end > start) visit(content.substr(start, end - start));
    start = end + 1;
  }
}

void StripTrailingCrLf(std::string& text) {
  while (text.size() >= 2 && text.compare(text.size() - 2, 2, kCrLf) == 0) {
    text.resize(text.size() - 2);
  }
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
  if (const auto name = FindBlockedName(line)) return name->ToString();
  return std::nullopt;
}

std::vector<std::string> BlockedSites(
    std::string_view content, const std::function<std::string(std::string_view)>& decode) {
  std::vector<std::string> sites;
  // Plain ASCII names are keyed by views into the content (or into `owned`
  // for a name whose tabs became blanks); any other name by the folded form
  // of its decoded text. ASCII decodes to itself and folds to ASCII, so the
  // two kinds never name the same site.
  AsciiNameSet asciiSeen;
  std::unordered_set<std::string> otherSeen;
  std::deque<std::string> owned;

  // Names wait in a short queue, in file order, while their slots load.
  struct Found {
    BlockedName name;
    std::string_view key;  // an ASCII name's key; empty for any other name
    std::uint32_t hash;
  };
  constexpr size_t kAhead = 16;
  std::array<Found, kAhead> queue;
  size_t queued = 0;
  const auto settle = [&](const Found& found) {
    if (!found.key.empty()) {
      if (asciiSeen.Insert(found.key, found.hash)) sites.push_back(decode(found.key));
      return;
    }
    std::string text = decode(found.name.ToString());
    if (otherSeen.insert(hg::text::FoldCase(text)).second) sites.push_back(std::move(text));
  };

  // Every run of line ends is one separator: blank lines disappear.
  ForEachNonEmptyLine(content, [&](std::string_view line) {
    const auto name = FindBlockedName(line);
    if (!name) return;
    Found found{*name, {}, 0};
    if (IsAscii(name->text)) {
      found.key = name->hasTab ? owned.emplace_back(name->ToString()) : name->text;
      found.hash = AsciiNameSet::Hash(found.key);
      asciiSeen.Prefetch(found.hash);
    }
    Found& slot = queue[queued++ % kAhead];
    if (queued > kAhead) settle(slot);
    slot = found;
  });
  for (size_t i = queued > kAhead ? queued - kAhead : 0; i < queued; ++i) settle(queue[i % kAhead]);
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

bool HoldsControl(const std::string& site) {
  return std::any_of(site.begin(), site.end(), IsControl);
}

}  // namespace

UnsafeSiteName::UnsafeSiteName(const std::string& site)
    : UnsafeSiteName(site, HoldsControl(site)
                               ? "holds a control character and cannot be blocked."
                               : "cannot be blocked: its entry would not be read back as one.") {}

UnsafeSiteName::UnsafeSiteName(const std::string& site, const std::string& why)
    : std::invalid_argument("The web site name \"" + Visible(site) + "\" " + why), site_(site) {}

void RequireSafeSiteNames(const std::vector<std::string>& sites) {
  std::string entry(kEntryPrefix);
  for (const std::string& site : sites) {
    if (HoldsControl(site)) throw UnsafeSiteName(site);
    // Empty or blank names, "localhost" and names with outer blanks would be
    // written as lines the next read keeps as someone else's, one more each time.
    entry.resize(kEntryPrefix.size());
    entry += site;
    const auto name = FindBlockedName(entry);
    if (!name || name->text != site) throw UnsafeSiteName(site);
  }
}

std::string ApplyBlockedContent(std::string_view content, const std::vector<std::string>& sites) {
  RequireSafeSiteNames(sites);
  std::string out;
  out.reserve(content.size() + sites.size() * (kEntryPrefix.size() + 32) + 2);

  // Lines are split at every CR and LF, except that a pair of line ends (CR
  // CR after LF became CR) counts once, in one left-to-right pass: a run of k
  // line ends becomes ceil(k/2), so CR LF files keep their blank lines.
  LineEndFinder lineEnds(content);
  size_t start = 0;
  const size_t size = content.size();
  while (true) {
    const size_t end = lineEnds.Next(start);
    const std::string_view line = content.substr(start, end - start);
    if (!FindBlockedName(line)) {
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
