// Reading and rewriting generated hosts files, beside a plain copy of the same
// bytes. Counter "peak/size": the most heap memory held during one operation,
// as a multiple of the file's size.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <string>

#include "app/engine/hosts_file.h"
#include "bench/app/engine/generated_hosts.h"

namespace {

using hg::bench::GenerateHosts;

std::atomic<size_t> g_current{0};
std::atomic<size_t> g_peak{0};

void ResetPeak() { g_peak = g_current.load(); }

std::string Identity(std::string_view bytes) { return std::string(bytes); }

template <typename F>
void Measure(benchmark::State& state, F&& operation) {
  const std::string content = GenerateHosts(static_cast<size_t>(state.range(0)));
  size_t peak = 0;
  for (auto _ : state) {
    const size_t before = g_current;
    ResetPeak();
    operation(content);
    peak = std::max(peak, g_peak.load() - before);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * content.size()));
  state.counters["peak/size"] = static_cast<double>(peak) / static_cast<double>(content.size());
}

void BM_Copy(benchmark::State& state) {
  Measure(state, [](const std::string& content) {
    std::string copy = content;
    benchmark::DoNotOptimize(copy.data());
  });
}

void BM_Read(benchmark::State& state) {
  Measure(state, [](const std::string& content) {
    auto sites = app::engine::BlockedSites(content, Identity);
    benchmark::DoNotOptimize(sites.data());
  });
}

// The program rewrites the file from the list it shows, which it already holds.
void BM_Rewrite(benchmark::State& state) {
  const auto sites = app::engine::BlockedSites(GenerateHosts(static_cast<size_t>(state.range(0))), Identity);
  Measure(state, [&sites](const std::string& content) {
    auto written = app::engine::ApplyBlockedContent(content, sites);
    benchmark::DoNotOptimize(written.data());
  });
}

void BM_BlankLines(benchmark::State& state) {
  // Nothing but line ends: no step may be quadratic in a run of them.
  const std::string content(static_cast<size_t>(state.range(0)), '\n');
  for (auto _ : state) {
    auto written = app::engine::ApplyBlockedContent(content, {});
    benchmark::DoNotOptimize(app::engine::BlockedSites(content, Identity).size());
    benchmark::DoNotOptimize(written.data());
  }
}

// The same work on files, beside a plain copy of the file: what the program
// does to a hosts file, without the platform's layers.
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return std::move(bytes).str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(),
                                                                static_cast<std::streamsize>(bytes.size()));
}

template <typename F>
void MeasureFile(benchmark::State& state, F&& operation) {
  const std::string source = "/tmp/hedgerow-bench-hosts";
  const std::string target = source + ".out";
  const std::string content = GenerateHosts(static_cast<size_t>(state.range(0)));
  WriteFile(source, content);
  for (auto _ : state) operation(source, target);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * content.size()));
  std::remove(source.c_str());
  std::remove(target.c_str());
}

void BM_FileCopy(benchmark::State& state) {
  MeasureFile(state, [](const std::string& from, const std::string& to) {
    WriteFile(to, ReadFile(from));
  });
}

void BM_FileRead(benchmark::State& state) {
  MeasureFile(state, [](const std::string& from, const std::string&) {
    auto sites = app::engine::BlockedSites(ReadFile(from), Identity);
    benchmark::DoNotOptimize(sites.data());
  });
}

void BM_FileRewrite(benchmark::State& state) {
  const auto sites = app::engine::BlockedSites(GenerateHosts(static_cast<size_t>(state.range(0))), Identity);
  MeasureFile(state, [&sites](const std::string& from, const std::string& to) {
    const std::string content = ReadFile(from);
    WriteFile(to, app::engine::ApplyBlockedContent(content, sites));
  });
}

BENCHMARK(BM_FileCopy)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileRead)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileRewrite)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Copy)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rewrite)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlankLines)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

// Counting allocator: the peak of live heap bytes.
void* operator new(size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  const size_t now = g_current += malloc_usable_size(p);
  size_t peak = g_peak;
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
  return p;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  g_current -= malloc_usable_size(p);
  std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

BENCHMARK_MAIN();
