// The ordered, optionally keyed list behind the library's collections.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "common/text/utf.h"

namespace tk {

enum class CollectionFault { DuplicateKey, KeyNotFound, IndexOutOfRange, BeforeAndAfter };

class CollectionError : public std::runtime_error {
 public:
  CollectionError(CollectionFault fault, const std::string& what)
      : std::runtime_error(what), fault_(fault) {}
  CollectionFault fault() const noexcept { return fault_; }

 private:
  CollectionFault fault_;
};

// An entry's number (from 1) or its key.
using Position = std::variant<std::int64_t, std::string>;

// Entries are numbered from 1 in order; keys are unique and compared without
// regard to letter case. Lookup by key is a hash probe; lookup by number is direct.
template <typename T>
class KeyedList {
 public:
  KeyedList() = default;
  KeyedList(KeyedList&&) noexcept = default;
  KeyedList(const KeyedList&) = delete;
  KeyedList& operator=(const KeyedList&) = delete;

  // The old entries go only once this list is whole again: a value's
  // destructor (an object's last release) may call back into it.
  KeyedList& operator=(KeyedList&& other) noexcept {
    if (this == &other) return *this;
    KeyedList old(std::move(*this));
    entries_ = std::move(other.entries_);
    byKey_ = std::move(other.byKey_);
    other.Clear();
    return *this;
  }

  std::size_t Count() const noexcept { return entries_.size(); }

  // Appends, or places before/after an existing entry; nothing changes on failure.
  void Add(T value, const std::string* key = nullptr, const Position* before = nullptr,
           const Position* after = nullptr) {
    if (before && after) {
      throw CollectionError(CollectionFault::BeforeAndAfter,
                            "Before and After cannot both be given.");
    }
    std::size_t at = entries_.size();
    if (before) at = IndexOf(*before);
    if (after) at = IndexOf(*after) + 1;

    auto entry = std::make_unique<Entry>(Entry{std::move(value), {}, key != nullptr});
    // Room first, so that the insertion below cannot fail once the key is in.
    if (entries_.size() == entries_.capacity()) {
      entries_.reserve(std::max<std::size_t>(16, entries_.size() * 2));
    }
    if (key) {
      entry->foldedKey = hg::text::FoldCase(*key);
      if (!byKey_.emplace(entry->foldedKey, entry.get()).second) {
        throw CollectionError(CollectionFault::DuplicateKey,
                              "The key \"" + *key + "\" is already in the collection.");
      }
    }
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
  }

  T& Item(const Position& position) { return Find(position).value; }
  const T& Item(const Position& position) const { return Find(position).value; }

  void Remove(const Position& position) {
    const std::size_t index = IndexOf(position);
    const std::unique_ptr<Entry> removed = std::move(entries_[index]);
    if (removed->hasKey) byKey_.erase(removed->foldedKey);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  }  // `removed` goes last, as in the assignment above

  void Clear() noexcept {
    const auto removed = std::move(entries_);
    entries_.clear();
    byKey_.clear();
  }

  bool Contains(const std::string& key) const { return byKey_.count(hg::text::FoldCase(key)) != 0; }

  // Visits the values in order.
  template <typename F>
  void ForEach(F&& visit) const {
    for (const auto& entry : entries_) visit(entry->value);
  }

 private:
  struct Entry {
    T value;
    std::string foldedKey;
    bool hasKey;
  };

  std::size_t CheckedIndex(std::int64_t number) const {
    if (number < 1 || static_cast<std::uint64_t>(number) > entries_.size()) {
      throw CollectionError(CollectionFault::IndexOutOfRange,
                            "Index " + std::to_string(number) + " is out of range.");
    }
    return static_cast<std::size_t>(number - 1);
  }

  Entry& KeyedEntry(const std::string& key) const {
    const auto found = byKey_.find(hg::text::FoldCase(key));
    if (found == byKey_.end()) {
      throw CollectionError(CollectionFault::KeyNotFound,
                            "The key \"" + key + "\" is not in the collection.");
    }
    return *found->second;
  }

  Entry& Find(const Position& position) const {
    if (const auto* number = std::get_if<std::int64_t>(&position)) {
      return *entries_[CheckedIndex(*number)];
    }
    return KeyedEntry(std::get<std::string>(position));
  }

  // Zero-based index of an existing entry. By key this walks the list, which
  // costs no more than the insertion or removal that needs it.
  std::size_t IndexOf(const Position& position) const {
    if (const auto* number = std::get_if<std::int64_t>(&position)) return CheckedIndex(*number);
    const Entry* target = &KeyedEntry(std::get<std::string>(position));
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [target](const auto& e) { return e.get() == target; });
    return static_cast<std::size_t>(it - entries_.begin());
  }

  std::vector<std::unique_ptr<Entry>> entries_;
  std::unordered_map<std::string, Entry*> byKey_;
};

}  // namespace tk
