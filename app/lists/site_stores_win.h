// The program's site stores: the hosts file through the engine, the
// unblocked list in the registry through the library, the string table.
#pragma once

#include <optional>
#include <utility>

#include "app/lists/site_stores.h"

namespace app::lists {

// Below HKEY_CURRENT_USER.
inline constexpr char kUnblockedKey[] = "Software\\Tarnwick Software\\Hedgerow\\Unblocked Web Sites";

class SystemSiteStores final : public SiteStores {
 public:
  // The next ReadBlocked answers `sites`, the hosts file as it was read a
  // moment ago, instead of reading it again: start-up reads a large file
  // once for the automatic backup and the lists' first fill.
  void HandOver(std::vector<std::string> sites) { handedOver_ = std::move(sites); }

  std::vector<std::string> ReadBlocked() override;
  void ApplyBlocked(const std::vector<std::string>& sites) override;
  void RequireBlockable(const std::vector<std::string>& sites) override;
  std::vector<std::string> ReadUnblocked() override;
  bool SetUnblocked(const std::string& name) override;
  bool DeleteUnblocked(const std::string& name) override;
  bool DeleteUnblockedKey() override;
  std::string Text(int id, const std::vector<std::string>& parameters) override;

 private:
  std::optional<std::vector<std::string>> handedOver_;
};

}  // namespace app::lists
