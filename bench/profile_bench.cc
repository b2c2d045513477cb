// Every stage of the conversion, per corpus file, with each call timed on
// its own: the median and 99th percentile time per call and the mean
// allocations per call. `make bench` saves these figures and compares each
// run with the one before (tools/bench/compare_bench.py), so a slowdown of
// one stage on one corpus shows even when the corpus as a whole hides it.
//
// BM_Profile/<stage>/<corpus>: the stages in conversion order (the whole
// conversion through the C interface first), the corpus files in name order,
// and last the whole conversion again through the shared library loaded at
// run time, as a host runs it: code built position-independent and reaching
// its thread-local state through the dynamic loader. Each stage runs on the
// lines that reached it. The two clock reads around each call add a few tens
// of nanoseconds to every figure.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "corpus.h"
#include "ole/compound_file.h"
#include "parser/parser.h"
#include "quorvix.h"
#include "qvf/stream/equation_native.h"
#include "qvf/stream/stream.h"
#include "stage_inputs.h"

namespace {

using quorvix::bench::allocation_count;
using quorvix::bench::allocation_counting_available;
using quorvix::bench::corpus;
using quorvix::bench::CorpusEntry;
using quorvix::bench::prepare_stage_inputs;
using quorvix::bench::StageInputs;

// compound_file writes the file as bytes (the command-line tools' path),
// compound_file_hex straight as the hex digits of a response (the C entry's).
enum Stage : int {
  Convert,
  Normalize,
  Parse,
  WriteQvf,
  Frame,
  CompoundFile,
  CompoundFileHex,
  ConvertShared,
  kStages
};
constexpr const char* kStageNames[kStages] = {"convert",           "normalize",     "parse",
                                              "write_qvf",         "frame",         "compound_file",
                                              "compound_file_hex", "convert_shared"};

// The C entry points of the shared library, loaded once; null when it
// cannot be loaded.
struct SharedEntry {
  char* (*convert)(const char*) = nullptr;
  void (*release)(char*) = nullptr;
};

SharedEntry load_shared_entry() {
  SharedEntry entry;
  void* library = dlopen(QUORVIX_BENCH_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return entry;
  entry.convert = reinterpret_cast<char* (*)(const char*)>(dlsym(library, "quorvix_convert_v1"));
  entry.release = reinterpret_cast<void (*)(char*)>(dlsym(library, "quorvix_free_v1"));
  if (entry.convert == nullptr || entry.release == nullptr) entry = SharedEntry{};
  return entry;
}

const SharedEntry& shared_entry() {
  static const SharedEntry entry = load_shared_entry();
  return entry;
}

// The stage inputs of each corpus file, in file order.
struct FileInputs {
  std::string file;
  StageInputs in;
};

std::vector<FileInputs> prepare() {
  std::vector<FileInputs> files;
  std::vector<const CorpusEntry*> lines;
  const auto& entries = corpus();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    lines.push_back(&entries[i]);
    if (i + 1 == entries.size() || entries[i + 1].file != entries[i].file) {
      files.push_back(FileInputs{entries[i].file, prepare_stage_inputs(lines)});
      lines.clear();
    }
  }
  return files;
}

const std::vector<FileInputs>& file_inputs() {
  static const std::vector<FileInputs> inputs = prepare();
  return inputs;
}

// The number of calls a stage makes per pass over a file, and call `i`.
std::size_t calls(const StageInputs& in, Stage stage) {
  switch (stage) {
    case Convert:
    case Normalize:
    case ConvertShared: return in.entries.size();
    case Parse:
    case WriteQvf: return in.parsed_text.size();
    case Frame: return in.streams.size();
    case CompoundFile:
    case CompoundFileHex: return in.framed.size();
    case kStages: break;
  }
  return 0;
}

void call(const StageInputs& in, Stage stage, std::size_t i) {
  switch (stage) {
    case Convert: {
      char* response = quorvix_convert_v1(in.entries[i]->request.c_str());
      benchmark::DoNotOptimize(response);
      quorvix_free_v1(response);
      return;
    }
    case Normalize: {
      std::string n = quorvix::parser::normalize_latex(in.entries[i]->latex);
      benchmark::DoNotOptimize(n);
      return;
    }
    case Parse: {
      auto tree = quorvix::parser::Parser(in.parsed_text[i]).parse();
      benchmark::DoNotOptimize(tree);
      return;
    }
    case WriteQvf: {
      auto stream = quorvix::qvf::write_qvf_with_prefs(in.parsed_text[i], in.trees[i], std::nullopt);
      benchmark::DoNotOptimize(stream);
      return;
    }
    case Frame: {
      auto framed = quorvix::qvf::write_equation_native(in.streams[i]);
      benchmark::DoNotOptimize(framed);
      return;
    }
    case CompoundFile: {
      auto file = quorvix::ole::write_compound_file(in.framed[i], std::nullopt);
      benchmark::DoNotOptimize(file);
      return;
    }
    case CompoundFileHex: {
      // The framing header and the stream, as the entry holds them.
      const std::span<const std::uint8_t> framed(in.framed[i]);
      const auto header = framed.first(quorvix::qvf::kEquationNativeHeaderSize);
      const auto body = framed.subspan(header.size());
      const auto plan = quorvix::ole::plan_compound_file_hex(header, body);
      thread_local std::string digits;
      if (plan.ok()) {
        digits.resize(2 * plan->size);
        benchmark::DoNotOptimize(quorvix::ole::write_compound_file_hex(*plan, header, body, digits.data()));
      }
      return;
    }
    case ConvertShared: {
      char* response = shared_entry().convert(in.entries[i]->request.c_str());
      benchmark::DoNotOptimize(response);
      shared_entry().release(response);
      return;
    }
    case kStages: return;
  }
}

double quantile(std::vector<std::int64_t>& times, double q) {
  const auto k = static_cast<std::size_t>(q * static_cast<double>(times.size() - 1));
  std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(k), times.end());
  return static_cast<double>(times[k]);
}

void BM_Profile(benchmark::State& state) {
  const auto stage = static_cast<Stage>(state.range(0));
  const auto file = static_cast<std::size_t>(state.range(1));
  if (file >= file_inputs().size()) {
    state.SkipWithError("no such corpus file");
    return;
  }
  if (stage == ConvertShared && shared_entry().convert == nullptr) {
    state.SkipWithError("the shared library could not be loaded");
    return;
  }
  const StageInputs& in = file_inputs()[file].in;
  const std::size_t n = calls(in, stage);
  if (n == 0) {
    state.SkipWithError("no line of this corpus reaches this stage");
    return;
  }
  std::vector<std::int64_t> times;
  std::uint64_t allocations = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint64_t before = allocation_count();
      const auto start = std::chrono::steady_clock::now();
      call(in, stage, i);
      const auto end = std::chrono::steady_clock::now();
      allocations += allocation_count() - before;
      times.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count());
    }
  }
  state.SetLabel(std::string(kStageNames[stage]) + " " + file_inputs()[file].file);
  state.counters["calls"] = static_cast<double>(n);
  state.counters["time_per_call"] = benchmark::Counter(
      static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  if (times.empty()) return;
  state.counters["median_ns"] = quantile(times, 0.5);
  state.counters["p99_ns"] = quantile(times, 0.99);
  if (allocation_counting_available()) {
    state.counters["allocs_per_call"] = static_cast<double>(allocations) / static_cast<double>(times.size());
  }
}
BENCHMARK(BM_Profile)
    ->ArgsProduct({benchmark::CreateDenseRange(0, kStages - 1, 1), {0, 1}})
    ->ArgNames({"stage", "corpus"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
