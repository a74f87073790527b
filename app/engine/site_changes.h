// What one command changed in a site list, and how those changes are made to
// the list as another program left it, so that a command never undoes an
// edit it did not see.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace app::engine {

// The sites a command added to a list and those it took out, by lowercase
// name; of two changes to one site the later counts.
class SiteChanges {
 public:
  void Add(const std::string& site);
  void Remove(const std::string& site);
  bool empty() const noexcept { return changes_.empty(); }
  void Clear() noexcept { changes_.clear(); }

  // `current` (each site once) with these changes made: its sites in their
  // order and letter case but for the removed ones, then each added site it
  // lacks, in the order they were added.
  std::vector<std::string> AppliedTo(const std::vector<std::string>& current) const;

 private:
  struct Change {
    std::string site;
    bool added;
    std::uint64_t order;
  };
  std::unordered_map<std::string, Change> changes_;  // by lowercase name
  std::uint64_t next_ = 0;
};

// A hash of a list's names exactly as they stand, whatever their order: two
// lists that hold the same names hash alike.
std::uint64_t ListHash(const std::vector<std::string>& names);

}  // namespace app::engine
