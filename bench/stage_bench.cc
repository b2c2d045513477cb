// The conversion stages one at a time over the corpus: normalisation,
// parsing, the QVF writer, the Equation Native framing and the compound
// file. Each stage runs on the lines that reached it (the inputs are
// prepared once by running the earlier stages).
#include <benchmark/benchmark.h>

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "ast/expr.h"
#include "common/bytes.h"
#include "corpus.h"
#include "ole/compound_file.h"
#include "parser/parser.h"
#include "qvf/stream/stream.h"

namespace {

using quorvix::Bytes;
using quorvix::bench::corpus;

struct Prepared {
  std::vector<std::string> normalized;    // every line
  std::vector<std::string> parsed_text;   // lines that parsed
  std::vector<quorvix::ast::Expr> trees;  // their trees
  std::vector<Bytes> streams;             // lines the writer accepted
  std::vector<Bytes> framed;              // their framed streams
};

const Prepared& prepared() {
  static const Prepared p = [] {
    Prepared out;
    for (const auto& e : corpus()) {
      out.normalized.push_back(quorvix::parser::normalize_latex(e.latex));
      const std::string& text = out.normalized.back();
      try {
        auto tree = quorvix::parser::Parser(text).parse();
        if (!tree.ok()) continue;
        auto stream = quorvix::qvf::write_qvf_with_prefs(text, *tree, std::nullopt);
        out.parsed_text.push_back(text);
        out.trees.push_back(std::move(tree).value());
        if (!stream.ok()) continue;
        auto framed = quorvix::qvf::write_equation_native(*stream);
        out.streams.push_back(std::move(stream).value());
        if (framed.ok()) out.framed.push_back(std::move(framed).value());
      } catch (const std::exception&) {
        // An internal failure: the line takes no part in the later stages.
      }
    }
    return out;
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
  const Prepared& p = prepared();
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
