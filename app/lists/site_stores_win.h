// The program's site stores: the hosts file through the engine, the
// unblocked list in the registry through the library, the string table.
#pragma once

#include <optional>
#include <utility>

#include "app/engine/hosts_file_system.h"
#include "app/lists/site_stores.h"

namespace app::lists {

// Below HKEY_CURRENT_USER.
inline constexpr char kUnblockedKey[] = "Software\\Tarnwick Software\\Hedgerow\\Unblocked Web Sites";

class SystemSiteStores final : public SiteStores {
 public:
  // The next ReadBlocked answers `sites`, the hosts file as it was read a
  // moment ago, instead of reading it again: start-up reads a large file
  // once for the automatic backup and the lists' first fill. `seen` is the
  // file as that read found it.
  void HandOver(std::vector<std::string> sites, std::optional<engine::HostsSnapshot> seen) {
    handedOver_ = std::move(sites);
    handedOverSeen_ = seen;
  }

  std::vector<std::string> ReadBlocked() override;
  void ApplyBlocked(const std::vector<std::string>& sites) override;
  std::optional<std::vector<std::string>> ApplyBlockedChanges(
      const std::vector<std::string>& sites, const engine::SiteChanges& changes) override;
  void RequireBlockable(const std::vector<std::string>& sites) override;
  std::vector<std::string> ReadUnblocked() override;
  bool SetUnblocked(const std::string& name) override;
  bool DeleteUnblocked(const std::string& name) override;
  bool DeleteUnblockedKey() override;
  std::string Text(int id, const std::vector<std::string>& parameters) override;

  // True when the hosts file is no longer as this store last read or wrote
  // it: one attribute read.
  bool HostsFileChanged();
  // The hosts file as this store last read or wrote it.
  const std::optional<engine::HostsSnapshot>& seen() const noexcept { return seen_; }

 private:
  std::optional<std::vector<std::string>> handedOver_;
  std::optional<engine::HostsSnapshot> handedOverSeen_;
  std::optional<engine::HostsSnapshot> seen_;
};

}  // namespace app::lists
