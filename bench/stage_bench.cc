// The conversion stages one at a time over the corpus: normalisation,
// parsing, the QVF writer, the Equation Native framing and the compound
// file. Each stage runs on the lines that reached it (the inputs are
// prepared once by running the earlier stages).
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "ast/expr.h"
#include "common/bytes.h"
#include "corpus.h"
#include "ole/compound_file.h"
#include "parser/parser.h"
#include "qvf/stream/stream.h"
#include "stage_inputs.h"

namespace {

using quorvix::Bytes;
using quorvix::bench::corpus;
using quorvix::bench::StageInputs;

const StageInputs& prepared() {
  static const StageInputs p = [] {
    std::vector<const quorvix::bench::CorpusEntry*> lines;
    for (const auto& e : corpus()) lines.push_back(&e);
    return quorvix::bench::prepare_stage_inputs(lines);
  }();
  return p;
}

// Seconds per unit of `count` per iteration (shown as time per line, per byte).
benchmark::Counter time_per(std::size_t count) {
  return benchmark::Counter(static_cast<double>(count),
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <class Items, class Run>
void run_stage(benchmark::State& state, const Items& items, Run run) {
  if (items.empty()) {
    state.SkipWithError("no corpus line reaches this stage");
    return;
  }
  for (auto _ : state) {
    for (const auto& item : items) run(item);
  }
  state.counters["lines"] = static_cast<double>(items.size());
  state.counters["time_per_line"] = time_per(items.size());
}

void BM_StageNormalize(benchmark::State& state) {
  run_stage(state, corpus(), [](const auto& e) {
    std::string n = quorvix::parser::normalize_latex(e.latex);
    benchmark::DoNotOptimize(n);
  });
}
BENCHMARK(BM_StageNormalize)->Unit(benchmark::kMicrosecond);

void BM_StageParse(benchmark::State& state) {
  const std::vector<std::string>& lines = prepared().parsed_text;
  run_stage(state, lines, [](const std::string& text) {
    auto tree = quorvix::parser::Parser(text).parse();
    benchmark::DoNotOptimize(tree);
  });
  std::size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size();
  state.counters["time_per_byte"] = time_per(bytes);
}
BENCHMARK(BM_StageParse)->Unit(benchmark::kMicrosecond);

// One flat run of letters, one atom per byte, from a formula's length to far
// beyond what a conversion accepts: its time per byte should stay that of
// the corpus lines above, however long the run.
void BM_StageParseLongFlat(benchmark::State& state) {
  const std::string text(static_cast<std::size_t>(state.range(0)), 'x');
  for (auto _ : state) {
    auto tree = quorvix::parser::Parser(text).parse();
    benchmark::DoNotOptimize(tree);
  }
  state.counters["time_per_byte"] = time_per(text.size());
}
BENCHMARK(BM_StageParseLongFlat)->RangeMultiplier(100)->Range(100, 1000000)->Unit(benchmark::kMillisecond);

void BM_StageWriteQvf(benchmark::State& state) {
  const StageInputs& p = prepared();
  std::vector<std::size_t> indices(p.trees.size());
  for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = i;
  run_stage(state, indices, [&p](std::size_t i) {
    auto stream = quorvix::qvf::write_qvf_with_prefs(p.parsed_text[i], p.trees[i], std::nullopt);
    benchmark::DoNotOptimize(stream);
  });
}
BENCHMARK(BM_StageWriteQvf)->Unit(benchmark::kMicrosecond);

void BM_StageFrame(benchmark::State& state) {
  run_stage(state, prepared().streams, [](const Bytes& stream) {
    auto framed = quorvix::qvf::write_equation_native(stream);
    benchmark::DoNotOptimize(framed);
  });
}
BENCHMARK(BM_StageFrame)->Unit(benchmark::kMicrosecond);

void BM_StageCompoundFile(benchmark::State& state) {
  run_stage(state, prepared().framed, [](const Bytes& framed) {
    auto file = quorvix::ole::write_compound_file(framed, std::nullopt);
    benchmark::DoNotOptimize(file);
  });
}
BENCHMARK(BM_StageCompoundFile)->Unit(benchmark::kMicrosecond);

}  // namespace
