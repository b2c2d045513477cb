// Parser costs that grow with the input: recording many macro definitions,
// and literal characters that go through the source encoder one by one.
// Not corpus-based: each benchmark builds its own input, so a cost that is
// not linear shows as a per-item time that grows with the argument.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "ast/expr.h"
#include "parser/parser.h"
#include "qvf/stream/stream.h"

namespace {

using quorvix::parser::MacroDefinition;
using quorvix::parser::Parser;

// Sets QUORVIX_SOURCE_ENCODING for one benchmark run (unset for nullptr).
class EncodingForRun {
 public:
  explicit EncodingForRun(const char* value) {
    if (const char* old = std::getenv(kName)) saved_ = old;
    if (value != nullptr) {
      setenv(kName, value, 1);
    } else {
      unsetenv(kName);
    }
  }
  ~EncodingForRun() {
    if (saved_) {
      setenv(kName, saved_->c_str(), 1);
    } else {
      unsetenv(kName);
    }
  }
  EncodingForRun(const EncodingForRun&) = delete;
  EncodingForRun& operator=(const EncodingForRun&) = delete;

 private:
  static constexpr const char* kName = "QUORVIX_SOURCE_ENCODING";
  std::optional<std::string> saved_;
};

void report_per_item(benchmark::State& state, std::int64_t items) {
  state.SetItemsProcessed(state.iterations() * items);
  state.counters["time_per_item"] =
      benchmark::Counter(static_cast<double>(items),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// N distinct \def-style definitions recorded by one parser.
void BM_RecordMacroDefinitions(benchmark::State& state) {
  const auto n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Parser p("");
    for (int i = 0; i < n; ++i) {
      std::string name = std::to_string(i);
      name.insert(name.begin(), 'm');
      p.define_macro(std::move(name), MacroDefinition{"x^2", 1});
    }
    benchmark::DoNotOptimize(p);
  }
  report_per_item(state, n);
}
BENCHMARK(BM_RecordMacroDefinitions)->Arg(500)->Arg(2000)->Arg(8000)->Unit(benchmark::kMicrosecond);

// A parse of N copies of one letter under each encoding: U+00E9, which
// goes through the source encoder, and the ASCII letter a for comparison.
void letters_parse(benchmark::State& state, const char* encoding, std::string_view letter) {
  EncodingForRun env(encoding);
  const auto n = static_cast<std::size_t>(state.range(0));
  std::string text;
  for (std::size_t i = 0; i < n; ++i) text += letter;
  for (auto _ : state) {
    auto tree = Parser(text).parse();
    if (!tree.ok()) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(tree);
  }
  report_per_item(state, static_cast<std::int64_t>(n));
}
void BM_ParseAsciiLetters(benchmark::State& state) { letters_parse(state, nullptr, "a"); }
void BM_ParseNonAsciiUtf8(benchmark::State& state) { letters_parse(state, nullptr, "\xC3\xA9"); }
void BM_ParseNonAsciiGbk(benchmark::State& state) { letters_parse(state, "gbk", "\xC3\xA9"); }
BENCHMARK(BM_ParseAsciiLetters)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseNonAsciiUtf8)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseNonAsciiGbk)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A text run of N non-ASCII characters written by the stream writer.
void BM_WriteNonAsciiTextRun(benchmark::State& state) {
  EncodingForRun env("windows-1252");
  const auto n = static_cast<std::size_t>(state.range(0));
  std::string text;
  for (std::size_t i = 0; i < n; ++i) text += "\xC3\xA9";
  const quorvix::ast::Expr tree = quorvix::ast::TextRun{text};
  for (auto _ : state) {
    auto stream = quorvix::qvf::write_qvf_with_prefs("x", tree, std::nullopt);
    if (!stream.ok()) state.SkipWithError("write failed");
    benchmark::DoNotOptimize(stream);
  }
  report_per_item(state, static_cast<std::int64_t>(n));
}
BENCHMARK(BM_WriteNonAsciiTextRun)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
