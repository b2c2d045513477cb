// The slowest 64 KiB inputs known for each family of constructs that recover
// from a failure by reading their text again: a run of unclosed openers (as
// deep as the nesting bound allows) in front of a long flat tail, which every
// failed level could otherwise read once more. Each is parsed on its own
// (the conversion would stop at the compound-file size limit anyway).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "parser/parser.h"

namespace {

struct WorstCase {
  const char* name;
  const char* opener;
  int depth;                // openers in front of the tail, within the nesting bound
  const char* closer = "";  // after the tail
  int closers = 1;          // how many times the closer stands there
};

constexpr WorstCase kWorstCases[] = {
    {"flat", "", 0},  // the tail alone, for comparison
    {"groups", "{", 99},
    {"fractions", "\\frac{", 60},
    {"roots", "\\sqrt[", 45},
    {"bold", "\\mathbf{", 90},
    {"scripts", "x^{", 90},
    {"mixed", "{\\frac{\\sqrt[", 30},
    {"environments", "\\begin{pmatrix}", 99},
    {"environment cells", "\\begin{pmatrix}x&", 99},
    {"arrays", "\\begin{array}{c}", 99},
    // Only the innermost one closes: every other one fails around it.
    {"one closed environment", "\\begin{pmatrix}", 99, "\\end{pmatrix}"},
    {"environments in groups", "{\\begin{aligned}", 49, "\\end{aligned}"},
    // Every root's index closes at the end, then its radicand is missing.
    {"closed roots in fractions", "{\\frac{\\sqrt[", 30, "]"},
    {"one closed environment in fractions", "\\frac{\\begin{pmatrix}", 49, "\\end{pmatrix}"},
    // Physics bodies are parsed in place; each level takes two of the bound.
    {"physics quantities", "\\qty(", 49, ")", 49},
    {"physics matrices", "\\pmqty{a&", 49, "}", 49},
    {"chemistry", "\\ce{", 49, "}", 49},
    {"unclosed physics bodies", "\\abs(", 49},
    {"unclosed physics in groups", "{\\qty[", 49},
};

constexpr std::size_t kInputBytes = 64 * 1024;

std::string worst_input(const WorstCase& c) {
  std::string text;
  for (int i = 0; i < c.depth; ++i) text += c.opener;
  std::string closer;
  for (int i = 0; i < c.closers; ++i) closer += c.closer;
  if (text.size() + closer.size() < kInputBytes) text.append(kInputBytes - text.size() - closer.size(), 'x');
  return text + closer;
}

void BM_WorstCase(benchmark::State& state) {
  const WorstCase& c = kWorstCases[state.range(0)];
  const std::string input = worst_input(c);
  state.SetLabel(c.name);
  for (auto _ : state) {
    auto parsed = quorvix::parser::Parser(input).parse();
    benchmark::DoNotOptimize(parsed);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}
BENCHMARK(BM_WorstCase)->DenseRange(0, std::size(kWorstCases) - 1)->Unit(benchmark::kMillisecond);

}  // namespace
