// Site stores in memory, recording every write, for the model's tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/engine/failure.h"
#include "app/engine/hosts_file.h"
#include "app/lists/site_names.h"
#include "app/lists/site_stores.h"

namespace app::lists::test {

class FakeStores final : public SiteStores {
 public:
  std::vector<std::string> hosts;                 // the blocked sites of the hosts file
  std::vector<std::string> seen;                  // `hosts` as last read or written
  std::vector<std::string> registry;              // value names in registry order
  bool keyExists = false;
  std::optional<Failure> applyFailure;            // the next ApplyBlocked fails with it
  std::optional<Failure> readFailure;             // every ReadBlocked fails with it
  std::vector<std::string> writes;                // "hosts", "set <n>", "delete <n>", "delete key"

  std::vector<std::string> ReadBlocked() override {
    if (readFailure) throw *readFailure;
    return seen = hosts;
  }
  void ApplyBlocked(const std::vector<std::string>& sites) override {
    ApplyBlockedChanges(sites, {});
  }
  std::optional<std::vector<std::string>> ApplyBlockedChanges(
      const std::vector<std::string>& sites, const engine::SiteChanges& changes) override {
    writes.push_back("hosts");
    if (applyFailure) {
      const Failure failure = *applyFailure;
      applyFailure.reset();
      throw failure;
    }
    RequireBlockable(sites);
    std::optional<std::vector<std::string>> merged;
    if (hosts != seen) merged = changes.AppliedTo(hosts);
    seen = hosts = merged ? *merged : sites;
    return merged;
  }
  void RequireBlockable(const std::vector<std::string>& sites) override {
    engine::RequireSafeSiteNames(sites);
  }
  std::vector<std::string> ReadUnblocked() override { return registry; }
  bool SetUnblocked(const std::string& name) override {
    writes.push_back("set " + name);
    keyExists = true;
    // Value names ignore letter case: an existing one keeps its own.
    for (const std::string& stored : registry) {
      if (SiteKey(stored) == SiteKey(name)) return true;
    }
    registry.push_back(name);
    return true;
  }
  bool DeleteUnblocked(const std::string& name) override {
    writes.push_back("delete " + name);
    for (auto it = registry.begin(); it != registry.end(); ++it) {
      if (SiteKey(*it) == SiteKey(name)) {
        registry.erase(it);
        return true;
      }
    }
    return false;
  }
  bool DeleteUnblockedKey() override {
    writes.push_back("delete key");
    registry.clear();
    keyExists = false;
    return true;
  }
  std::string Text(int id, const std::vector<std::string>& parameters) override {
    static const std::map<int, std::string> texts = {
        {104, "Type web site name to block."},
        {105, "www.example.com"},
        {106, "www.example.com is an example. Block www.example.com?"},
        {107, "Are you sure you want to delete %1?"},
        {115, "Are you sure you want to delete %1?"},
        {1665, "Cannot apply web site blocking. "},
        {1666, "Cannot add web site. "},
        {1667, "Cannot block web site(s). "},
        {1668, "Cannot unblock web site(s). "},
        {1670, "Cannot delete web site(s). "},
    };
    std::string text = texts.at(id);
    if (!parameters.empty()) {
      const std::size_t at = text.find("%1");
      if (at != std::string::npos) text.replace(at, 2, parameters[0]);
    }
    return text;
  }
};

}  // namespace app::lists::test
