// The site lists' commands at the scale of a big hosts file (10k, 100k and
// 1M lines, of which 45% block a site) and 10,000 unblocked sites, beside
// the engine's own read, and read plus rewrite, of the same file.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/engine/hosts_file.h"
#include "app/engine/services.h"
#include "app/lists/site_lists.h"
#include "bench/app/engine/generated_hosts.h"

namespace {

using app::lists::SiteLists;

std::string Identity(std::string_view bytes) { return std::string(bytes); }

std::vector<std::string> Names(const char* prefix, std::size_t count) {
  std::vector<std::string> names;
  names.reserve(count);
  for (std::size_t i = 0; i < count; ++i) names.push_back(prefix + std::to_string(i) + ".example");
  return names;
}

// The hosts file in memory, through the engine; the registry as a list.
class MemoryStores final : public app::lists::SiteStores {
 public:
  explicit MemoryStores(std::string hosts) : original_(std::move(hosts)), hosts_(original_) {}
  void Reset() { hosts_ = original_; }
  // Another program adds an entry after the lists were read.
  void EditOutside() {
    hosts_ += "127.0.0.1 outside.example\r\n";
    changed_ = true;
  }
  std::vector<std::string> unblocked = Names("parked-", 10'000);

  std::vector<std::string> ReadBlocked() override {
    changed_ = false;
    return app::engine::BlockedSites(hosts_, Identity);
  }
  void ApplyBlocked(const std::vector<std::string>& sites) override {
    hosts_ = app::engine::ApplyBlockedContent(hosts_, sites);
  }
  // As the engine does it: the file's entries are read again only when it changed.
  std::optional<std::vector<std::string>> ApplyBlockedChanges(
      const std::vector<std::string>& sites, const app::engine::SiteChanges& changes) override {
    if (!changed_) {
      ApplyBlocked(sites);
      return std::nullopt;
    }
    auto merged = changes.AppliedTo(app::engine::BlockedSites(hosts_, Identity));
    ApplyBlocked(merged);
    changed_ = false;
    return merged;
  }
  void RequireBlockable(const std::vector<std::string>& sites) override {
    app::engine::RequireSafeSiteNames(sites);
  }
  std::vector<std::string> ReadUnblocked() override { return unblocked; }
  bool SetUnblocked(const std::string&) override { return true; }
  bool DeleteUnblocked(const std::string&) override { return true; }
  bool DeleteUnblockedKey() override { return true; }
  std::string Text(int, const std::vector<std::string>&) override { return {}; }

 private:
  const std::string original_;
  std::string hosts_;
  bool changed_ = false;
};

struct Fixture {
  explicit Fixture(benchmark::State& state)
      : stores(hg::bench::GenerateHosts(static_cast<std::size_t>(state.range(0)))) {}
  app::Services services;
  app::ScopedServices installed{services};
  MemoryStores stores;
  SiteLists lists{stores};
};

void BM_EngineRead(benchmark::State& state) {
  const std::string hosts = hg::bench::GenerateHosts(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(app::engine::BlockedSites(hosts, Identity).data());
}

void BM_EngineReadAndRewrite(benchmark::State& state) {
  const std::string hosts = hg::bench::GenerateHosts(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    const auto sites = app::engine::BlockedSites(hosts, Identity);
    benchmark::DoNotOptimize(app::engine::ApplyBlockedContent(hosts, sites).data());
  }
}

void BM_RefreshList(benchmark::State& state) {
  Fixture fixture(state);
  for (auto _ : state) fixture.lists.RefreshList();
  state.counters["blocked"] = static_cast<double>(fixture.lists.blocked().size());
}

// 10,000 selected unblocked sites move to the blocked list; both are saved.
// With an outside change the hosts file's entries are read again and the
// move is made to them.
void BlockTenThousandSelected(benchmark::State& state, bool outsideChange) {
  Fixture fixture(state);
  for (auto _ : state) {
    state.PauseTiming();
    fixture.stores.Reset();
    fixture.lists.RefreshList();
    if (outsideChange) fixture.stores.EditOutside();
    app::lists::SiteList& unblocked = fixture.lists.unblocked();
    for (std::size_t i = 0; i < unblocked.size(); ++i) unblocked.Select(i, true);
    state.ResumeTiming();
    fixture.lists.Block();
  }
  state.counters["blocked"] = static_cast<double>(fixture.lists.blocked().size());
}

void BM_BlockTenThousandSelected(benchmark::State& state) { BlockTenThousandSelected(state, false); }

void BM_BlockTenThousandAfterAnOutsideChange(benchmark::State& state) {
  BlockTenThousandSelected(state, true);
}

// The bulk block of 100,000 typed sites, a tenth of them already blocked.
void BM_BulkAddHundredThousand(benchmark::State& state) {
  Fixture fixture(state);
  std::vector<std::string> typed = Names("http://typed-", 90'000);
  for (const std::string& site : Names("SITE-", 10'000)) typed.push_back(site);
  for (auto _ : state) {
    state.PauseTiming();
    fixture.stores.Reset();
    fixture.lists.RefreshList();
    state.ResumeTiming();
    fixture.lists.BlockSites(typed);
  }
  state.counters["blocked"] = static_cast<double>(fixture.lists.blocked().size());
}

#define SIZES Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_EngineRead)->SIZES;
BENCHMARK(BM_EngineReadAndRewrite)->SIZES;
BENCHMARK(BM_RefreshList)->SIZES;
BENCHMARK(BM_BlockTenThousandSelected)->SIZES;
BENCHMARK(BM_BlockTenThousandAfterAnOutsideChange)->SIZES;
BENCHMARK(BM_BulkAddHundredThousand)->SIZES;

}  // namespace

BENCHMARK_MAIN();
