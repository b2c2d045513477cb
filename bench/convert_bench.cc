// Whole conversions through the C interface: request JSON in, response JSON
// (with both hex payloads) out, over every line of the corpus.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "corpus.h"
#include "quorvix.h"

namespace {

using quorvix::bench::allocation_count;
using quorvix::bench::allocation_counting_available;
using quorvix::bench::corpus;

bool is_error_response(const char* response) { return std::strncmp(response, "{\"error\"", 8) == 0; }

// One pass over the corpus per iteration. Reports the mean time and the
// allocations per conversion, and the share of lines answered with an error.
void BM_ConvertCorpus(benchmark::State& state) {
  const auto& entries = corpus();
  std::uint64_t allocations = 0;
  std::uint64_t errors = 0;
  std::size_t characters = 0;
  for (const auto& e : entries) characters += e.latex.size();
  for (auto _ : state) {
    const std::uint64_t before = allocation_count();
    for (const auto& e : entries) {
      char* response = quorvix_convert_v1(e.request.c_str());
      benchmark::DoNotOptimize(response);
      errors += is_error_response(response) ? 1u : 0u;
      quorvix_free_v1(response);
    }
    allocations += allocation_count() - before;
  }
  const double conversions = static_cast<double>(state.iterations()) * static_cast<double>(entries.size());
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(entries.size()));
  state.counters["lines"] = static_cast<double>(entries.size());
  state.counters["time_per_conversion"] =
      benchmark::Counter(static_cast<double>(entries.size()),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  if (allocation_counting_available()) {
    state.counters["allocs_per_conversion"] = static_cast<double>(allocations) / conversions;
  }
  state.counters["error_share"] = static_cast<double>(errors) / conversions;
  // Comparable with the long-input figure below.
  state.counters["time_per_byte"] =
      benchmark::Counter(static_cast<double>(characters),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ConvertCorpus)->Unit(benchmark::kMillisecond);

// Runs of letters up to the longest whose compound file still fits: their
// cost per byte should match that of the short corpus formulas.
void BM_ConvertLongFlatInput(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0));
  const std::string request = "{\"latex\":\"" + std::string(length, 'x') + "\"}";
  for (auto _ : state) {
    char* response = quorvix_convert_v1(request.c_str());
    benchmark::DoNotOptimize(response);
    const bool failed = is_error_response(response);
    quorvix_free_v1(response);
    if (failed) {
      state.SkipWithError("the long input failed to convert");
      break;
    }
  }
  state.counters["time_per_byte"] =
      benchmark::Counter(static_cast<double>(length),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ConvertLongFlatInput)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Every conversion timed on its own: the median, 90th percentile and maximum
// over all conversions of all iterations, and the corpus line whose best run
// took longest (its best run, so that one-time set-up such as the first use of
// an encoder does not count). The two clock reads add a few tens of
// nanoseconds to each figure.
void BM_ConvertMedian(benchmark::State& state) {
  const auto& entries = corpus();
  std::vector<std::int64_t> times;
  std::vector<std::int64_t> best(entries.size(), INT64_MAX);
  for (auto _ : state) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const auto start = std::chrono::steady_clock::now();
      char* response = quorvix_convert_v1(entries[i].request.c_str());
      benchmark::DoNotOptimize(response);
      quorvix_free_v1(response);
      const auto ns =
          std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start);
      times.push_back(ns.count());
      best[i] = std::min(best[i], static_cast<std::int64_t>(ns.count()));
    }
  }
  if (times.empty()) return;
  auto at = [&times](double q) {
    const auto k = static_cast<std::size_t>(q * static_cast<double>(times.size() - 1));
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(k), times.end());
    return static_cast<double>(times[k]);
  };
  state.counters["median_ns"] = at(0.5);
  state.counters["p90_ns"] = at(0.9);
  state.counters["max_ns"] = static_cast<double>(*std::max_element(times.begin(), times.end()));
  const auto slowest = static_cast<std::size_t>(std::max_element(best.begin(), best.end()) - best.begin());
  state.SetLabel("slowest line: " + entries[slowest].id + " (" + std::to_string(best[slowest]) + " ns)");
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(entries.size()));
}
BENCHMARK(BM_ConvertMedian)->Unit(benchmark::kMillisecond);

}  // namespace
