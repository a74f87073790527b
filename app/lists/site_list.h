// One of the two site lists as the page shows it: the names in display
// order, which are selected, which is current, and an index by lowercase
// name, so that no command looks through a list to find a name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app::lists {

class SiteList {
 public:
  std::size_t size() const { return Settled().size(); }
  bool empty() const { return size() == 0; }
  const std::string& Name(std::size_t index) const { return Settled()[index]; }
  // The names in display order.
  const std::vector<std::string>& Names() const { return Settled(); }
  // An identity unique to the item while it is in the list: a counter, not
  // the name, so that a command can tell two items apart as it removes them.
  std::uint64_t Id(std::size_t index) const;

  bool Contains(const std::string& name) const;
  // Where the item whose lowercase name is lowercase(name) stands.
  std::optional<std::size_t> Position(const std::string& name) const;
  // The first item from `start` on, wrapping round to the top, whose name
  // begins with `prefix` in any letter case: the search as the user types.
  std::optional<std::size_t> FindPrefix(const std::string& prefix, std::size_t start) const;

  // Adds an item (not selected) at the end; a name already there stays once.
  // False when it was there.
  bool Add(std::string name);
  void Reserve(std::size_t count);
  void Clear();
  // Removes the items whose ids are given; the rest keep their order.
  void Remove(const std::vector<std::uint64_t>& ids);
  // Removes the item whose lowercase name is lowercase(name), if there is
  // one. Many of these in a row cost one pass over the list, not one each.
  void RemoveName(const std::string& name);

  bool Selected(std::size_t index) const;
  void Select(std::size_t index, bool selected);
  void ClearSelection();
  std::vector<std::size_t> SelectedPositions() const;
  // The item the list reports as its selected one (the focused item).
  std::optional<std::size_t> current() const;
  void SetCurrent(std::optional<std::size_t> index);
  // Selects only the item at `index` and makes it current.
  void SelectOnly(std::size_t index);

 private:
  struct Item {
    std::uint64_t id;
    std::uint32_t hash;  // of the lowercase name
    bool selected;
    bool removed;
  };

  // The names without the items removed since the last look.
  const std::vector<std::string>& Settled() const;
  // The position of the item (not removed) whose lowercase name is that of `name`.
  std::optional<std::size_t> Find(const std::string& name, std::uint32_t hash) const;
  void Index(std::size_t position) const;
  void Reindex(std::size_t slots) const;

  // Names and their items side by side, so that the names go to the hosts
  // file as they are. Removed items stay until the next look.
  mutable std::vector<std::string> names_;
  mutable std::vector<Item> items_;
  // An open-addressing table of positions + 1 (0: free), by name hash.
  mutable std::vector<std::uint32_t> slots_;
  mutable std::size_t indexed_ = 0;
  mutable std::size_t removed_ = 0;
  std::optional<std::uint64_t> currentId_;
  std::uint64_t nextId_ = 1;
};

}  // namespace app::lists
