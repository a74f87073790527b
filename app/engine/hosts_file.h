// The hosts-file rules: which lines block a site, and the file that blocks
// exactly a given list. Works on the file's bytes, so that every line the
// program keeps comes through unchanged whatever its encoding.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace app::engine {

// The text that starts every entry line the program writes: the loop-back
// address and seven blanks.
inline constexpr std::string_view kEntryPrefix = "127.0.0.1       ";

// The site a hosts line blocks, or nothing when the line is not a block entry.
std::optional<std::string> ParseHostsLine(std::string_view line);

// Everything after the first blank (or tab) at or after the eighth character,
// without surrounding blanks; empty when there is no such blank.
std::string ExtractHostName(std::string_view line);

// The blocked sites in the order of their first occurrence, each once in the
// form of that occurrence (compared without regard to letter case). `decode`
// turns the file's bytes for a site into UTF-8.
std::vector<std::string> BlockedSites(
    std::string_view content, const std::function<std::string(std::string_view)>& decode);

// A site name that would put something other than one entry line into the
// file (one holding a control character: below 32, or 127), or one whose
// entry line would not be read back as that site.
class UnsafeSiteName : public std::invalid_argument {
 public:
  explicit UnsafeSiteName(const std::string& site);
  // `why` completes "The web site name "<site>" ".
  UnsafeSiteName(const std::string& site, const std::string& why);
  const std::string& site() const noexcept { return site_; }

 private:
  std::string site_;
};

// Throws UnsafeSiteName for the first unsafe name.
void RequireSafeSiteNames(const std::vector<std::string>& sites);

// The complete new file: every line of `content` that is not a block entry,
// then one entry line per site (already in the file's encoding), all ended by
// CR LF. Throws UnsafeSiteName before building anything.
std::string ApplyBlockedContent(std::string_view content, const std::vector<std::string>& sites);

}  // namespace app::engine
