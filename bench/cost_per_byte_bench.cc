// What each byte of TeX costs, per corpus file: whether some construct costs
// more per byte than the typical formula does, which a median over whole
// lines would hide behind the many short ones.
//
// BM_CostPerByte/<corpus>: each line of at least kMinBytes bytes is converted
// through the C interface kCalls times per iteration and its median time
// taken; less the median time of a one-character formula (the work every
// conversion does whatever its length: the request, the fixed records, the
// compound file and the response), divided by the line's length in bytes, it
// is the line's cost per byte. The counters give the median, 99th percentile
// and largest cost per byte over the lines, and the largest over the median;
// the label names the line with the largest.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "corpus.h"
#include "quorvix.h"

namespace {

using quorvix::bench::corpus;
using quorvix::bench::CorpusEntry;

constexpr std::size_t kMinBytes = 20;  // shorter lines are mostly the fixed cost
constexpr int kCalls = 5;
constexpr const char* kOneCharacterRequest = R"({"latex":"x"})";

double convert_ns(const char* request) {
  const auto start = std::chrono::steady_clock::now();
  char* response = quorvix_convert_v1(request);
  const auto end = std::chrono::steady_clock::now();
  benchmark::DoNotOptimize(response);
  quorvix_free_v1(response);
  return std::chrono::duration<double, std::nano>(end - start).count();
}

double median(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

// The lines of corpus file number `file` (in name order) that are long
// enough to tell their cost per byte; empty when there is no such file.
std::vector<const CorpusEntry*> long_lines(std::size_t file) {
  std::vector<const CorpusEntry*> lines;
  std::size_t index = 0;
  const auto& entries = corpus();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0 && entries[i].file != entries[i - 1].file) ++index;
    if (index == file && entries[i].latex.size() >= kMinBytes) lines.push_back(&entries[i]);
  }
  return lines;
}

void BM_CostPerByte(benchmark::State& state) {
  const std::vector<const CorpusEntry*> lines = long_lines(static_cast<std::size_t>(state.range(0)));
  if (lines.empty()) {
    state.SkipWithError("no such corpus file, or no line in it long enough");
    return;
  }
  std::vector<std::vector<double>> times(lines.size());
  std::vector<double> fixed;
  for (auto _ : state) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      fixed.push_back(convert_ns(kOneCharacterRequest));
      for (int k = 0; k < kCalls; ++k) times[i].push_back(convert_ns(lines[i]->request.c_str()));
    }
  }
  const double fixed_ns = median(fixed);
  std::vector<double> per_byte(lines.size());
  std::size_t worst = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    per_byte[i] = std::max(0.0, median(times[i]) - fixed_ns) / static_cast<double>(lines[i]->latex.size());
    if (per_byte[i] > per_byte[worst]) worst = i;
  }
  const double largest = per_byte[worst];
  std::sort(per_byte.begin(), per_byte.end());
  const double middle = per_byte[per_byte.size() / 2];
  state.SetLabel(lines[worst]->file + " " + std::to_string(lines.size()) +
                 " lines, most per byte: " + lines[worst]->id);
  state.counters["fixed_ns"] = fixed_ns;
  state.counters["per_byte_median_ns"] = middle;
  state.counters["per_byte_p99_ns"] = per_byte[(per_byte.size() - 1) * 99 / 100];
  state.counters["per_byte_max_ns"] = largest;
  state.counters["max_over_median"] = middle > 0 ? largest / middle : 0.0;
}
BENCHMARK(BM_CostPerByte)->DenseRange(0, 1)->ArgName("corpus")->Unit(benchmark::kMillisecond);

}  // namespace
