// What the site lists rely on outside themselves: the hosts file for the
// blocked sites, the registry for the unblocked ones, the program's texts.
// The program's are in site_stores_win.h; tests use their own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/engine/site_changes.h"

namespace app::lists {

class SiteStores {
 public:
  virtual ~SiteStores() = default;

  // The blocked sites in hosts-file order, each once.
  virtual std::vector<std::string> ReadBlocked() = 0;
  // Makes the hosts file block exactly `sites`.
  virtual void ApplyBlocked(const std::vector<std::string>& sites) = 0;
  // Makes the hosts file block `sites`: the list as this store last read or
  // wrote it, with `changes` made to it. When another program changed the
  // file's entries since, the changes are made to those instead, so that
  // its entries stay, and the sites the file then blocks are returned.
  virtual std::optional<std::vector<std::string>> ApplyBlockedChanges(
      const std::vector<std::string>& sites, const engine::SiteChanges& changes) = 0;
  // Throws the failure ApplyBlocked would give for a name it can never write.
  virtual void RequireBlockable(const std::vector<std::string>& sites) = 0;

  // The value names of the unblocked list's key, in registry order; none
  // when the key is missing.
  virtual std::vector<std::string> ReadUnblocked() = 0;
  // Each returns false where the registry refused, as the registry class does.
  virtual bool SetUnblocked(const std::string& name) = 0;
  virtual bool DeleteUnblocked(const std::string& name) = 0;
  virtual bool DeleteUnblockedKey() = 0;

  // The program's string `id` with "%1", "%2", ... replaced by `parameters`.
  virtual std::string Text(int id, const std::vector<std::string>& parameters = {}) = 0;
};

}  // namespace app::lists
