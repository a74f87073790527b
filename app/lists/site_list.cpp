// One of the two site lists as the page shows it.
#include "app/lists/site_list.h"

#include <algorithm>
#include <unordered_set>

#include "app/lists/site_names.h"

namespace app::lists {
namespace {

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Plain ASCII names (nearly all) are hashed and compared in place, without
// building their lowercase form.
std::uint32_t SiteHash(const std::string& name) {
  std::uint32_t hash = 2166136261u;
  const auto add = [&](char c) { hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u; };
  if (IsAscii(name)) {
    for (const char c : name) add(AsciiLower(c));
  } else {
    for (const char c : SiteKey(name)) add(c);
  }
  return hash;
}

bool SameSite(const std::string& a, const std::string& b) {
  if (IsAscii(a) && IsAscii(b)) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
  }
  return SiteKey(a) == SiteKey(b);
}

}  // namespace

const std::vector<std::string>& SiteList::Settled() const {
  if (removed_ == 0) return names_;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].removed) continue;
    if (kept != i) {
      names_[kept] = std::move(names_[i]);
      items_[kept] = items_[i];
    }
    ++kept;
  }
  names_.resize(kept);
  items_.resize(kept);
  removed_ = 0;
  Reindex(slots_.size());
  return names_;
}

std::uint64_t SiteList::Id(std::size_t index) const {
  Settled();
  return items_[index].id;
}

std::optional<std::size_t> SiteList::Find(const std::string& name, std::uint32_t hash) const {
  if (slots_.empty()) return std::nullopt;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
    const std::size_t position = slots_[slot] - 1;
    const Item& item = items_[position];
    if (!item.removed && item.hash == hash && SameSite(names_[position], name)) return position;
  }
  return std::nullopt;
}

void SiteList::Index(std::size_t position) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = items_[position].hash & mask;
  while (slots_[slot] != 0) slot = (slot + 1) & mask;
  slots_[slot] = static_cast<std::uint32_t>(position + 1);
  ++indexed_;
}

void SiteList::Reindex(std::size_t slots) const {
  slots_.assign(slots, 0);
  indexed_ = 0;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (!items_[i].removed) Index(i);
  }
}

bool SiteList::Contains(const std::string& name) const {
  return Find(name, SiteHash(name)).has_value();
}

std::optional<std::size_t> SiteList::Position(const std::string& name) const {
  Settled();
  return Find(name, SiteHash(name));
}

std::optional<std::size_t> SiteList::FindPrefix(const std::string& prefix, std::size_t start) const {
  const std::vector<std::string>& names = Settled();
  const bool ascii = IsAscii(prefix);
  const std::string key = ascii ? std::string() : SiteKey(prefix);
  const auto begins = [&](const std::string& name) {
    if (!ascii) return SiteKey(name).compare(0, key.size(), key) == 0;
    return name.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), name.begin(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
  };
  if (start >= names.size()) start = 0;
  for (std::size_t n = 0; n < names.size(); ++n) {
    const std::size_t index = (start + n) % names.size();
    if (begins(names[index])) return index;
  }
  return std::nullopt;
}

bool SiteList::Add(std::string name) {
  const std::uint32_t hash = SiteHash(name);
  if (Find(name, hash)) return false;
  // At most half full, counting the removed items still indexed.
  if ((indexed_ + 1) * 2 > slots_.size()) Reindex(std::max<std::size_t>(64, slots_.size() * 2));
  names_.push_back(std::move(name));
  items_.push_back(Item{nextId_++, hash, false, false});
  Index(items_.size() - 1);
  return true;
}

void SiteList::Reserve(std::size_t count) {
  names_.reserve(count);
  items_.reserve(count);
  std::size_t slots = 64;
  while (slots < count * 2) slots *= 2;
  if (slots > slots_.size()) Reindex(slots);
}

void SiteList::Clear() {
  names_.clear();
  items_.clear();
  slots_.clear();
  indexed_ = 0;
  removed_ = 0;
  currentId_.reset();
}

void SiteList::Remove(const std::vector<std::uint64_t>& ids) {
  const std::unordered_set<std::uint64_t> gone(ids.begin(), ids.end());
  for (Item& item : items_) {
    if (item.removed || !gone.count(item.id)) continue;
    item.removed = true;
    ++removed_;
  }
  if (currentId_ && gone.count(*currentId_)) currentId_.reset();
}

void SiteList::RemoveName(const std::string& name) {
  const auto position = Find(name, SiteHash(name));
  if (!position) return;
  Item& item = items_[*position];
  item.removed = true;
  ++removed_;
  if (currentId_ == item.id) currentId_.reset();
}

bool SiteList::Selected(std::size_t index) const {
  Settled();
  return items_[index].selected;
}

void SiteList::Select(std::size_t index, bool selected) {
  Settled();
  items_[index].selected = selected;
}

void SiteList::ClearSelection() {
  for (Item& item : items_) item.selected = false;
}

std::vector<std::size_t> SiteList::SelectedPositions() const {
  Settled();
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].selected) positions.push_back(i);
  }
  return positions;
}

std::optional<std::size_t> SiteList::current() const {
  if (!currentId_) return std::nullopt;
  Settled();
  // Kept by identity, so that it follows its item when items before it go.
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].id == *currentId_) return i;
  }
  return std::nullopt;
}

void SiteList::SetCurrent(std::optional<std::size_t> index) {
  Settled();
  currentId_ = index ? std::optional<std::uint64_t>(items_[*index].id) : std::nullopt;
}

void SiteList::SelectOnly(std::size_t index) {
  ClearSelection();
  Select(index, true);
  SetCurrent(index);
}

}  // namespace app::lists
