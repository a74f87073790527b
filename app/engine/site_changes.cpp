// What one command changed in a site list.
#include "app/engine/site_changes.h"

#include <algorithm>
#include <unordered_set>

#include "common/text/utf.h"

namespace app::engine {

void SiteChanges::Add(const std::string& site) {
  // A site added twice keeps its first form, as the list does.
  const auto [change, inserted] =
      changes_.try_emplace(hg::text::FoldCase(site), Change{site, true, next_});
  if (!inserted && !change->second.added) change->second = Change{site, true, next_};
  ++next_;
}

void SiteChanges::Remove(const std::string& site) {
  changes_.insert_or_assign(hg::text::FoldCase(site), Change{site, false, next_++});
}

std::vector<std::string> SiteChanges::AppliedTo(const std::vector<std::string>& current) const {
  std::vector<std::string> result;
  result.reserve(current.size() + changes_.size());
  // Only the changes are looked up, so that a big list costs no set of its own.
  std::unordered_set<const Change*> present;
  for (const std::string& site : current) {
    const auto change = changes_.find(hg::text::FoldCase(site));
    if (change != changes_.end()) {
      if (!change->second.added) continue;
      present.insert(&change->second);
    }
    result.push_back(site);
  }
  std::vector<const Change*> added;
  for (const auto& [key, change] : changes_) {
    if (change.added && !present.count(&change)) added.push_back(&change);
  }
  std::sort(added.begin(), added.end(),
            [](const Change* a, const Change* b) { return a->order < b->order; });
  for (const Change* change : added) result.push_back(change->site);
  return result;
}

std::uint64_t ListHash(const std::vector<std::string>& names) {
  // A sum of each name's own hash does not depend on the order.
  std::uint64_t sum = names.size();
  for (const std::string& name : names) {
    std::uint64_t hash = 14695981039346656037u;
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    sum += hash;
  }
  return sum;
}

}  // namespace app::engine
