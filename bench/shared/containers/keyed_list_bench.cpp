// Filling the list behind the collections, as reading a big hosts file does:
// every site added with its key. No step may grow with the list's length.
#include <benchmark/benchmark.h>

#include <string>

#include "shared/containers/keyed_list.h"

namespace {

void BM_AddKeyed(benchmark::State& state) {
  const auto count = static_cast<std::int64_t>(state.range(0));
  for (auto _ : state) {
    tk::KeyedList<std::string> list;
    for (std::int64_t i = 0; i < count; ++i) {
      std::string key = "_site-";
      key += std::to_string(i);
      key += ".example";
      list.Add(key.substr(1), &key);
    }
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_AddKeyed)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
