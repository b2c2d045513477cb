#include "quorvix/batch_command.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include "quorvix/batch_convert.h"
#include "quorvix/batch_pool.h"
#include "quorvix/batch_progress.h"
#include "quorvix/batch_reader.h"
#include "quorvix/batch_summary.h"

namespace quorvix::tools {
namespace {

struct BatchOptions {
  std::string input = "-";  // a file, or "-" for standard input
  bool tex_lines = false;
  unsigned jobs = std::max(std::thread::hardware_concurrency(), 1u);
  std::string output;  // empty: standard output
  std::string ole_dir;
  std::string stats_file;
  std::string prefs_file;
};

constexpr int kAllConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUnusable = 2;

[[noreturn]] void fail(const std::string& message) {
  std::cerr << "quorvix batch: " << message << '\n';
  throw CLI::RuntimeError(kUnusable);
}

// The output stream: standard output, or the file named with --output.
class Output {
 public:
  // Lines run to kilobytes of hex: a large buffer keeps the writes few.
  // Standard output keeps its buffer until the process ends: a static array,
  // which no destructor frees before the final flush at exit.
  explicit Output(const std::string& path) {
    if (path.empty()) {
      static char stdout_buffer[kBufferSize];
      std::setvbuf(stdout, stdout_buffer, _IOFBF, kBufferSize);
      return;
    }
    file_buffer_.resize(kBufferSize);
    file_.rdbuf()->pubsetbuf(file_buffer_.data(), static_cast<std::streamsize>(file_buffer_.size()));
    file_.open(path, std::ios::binary | std::ios::trunc);
    if (!file_) fail("cannot write " + path);
  }
  std::ostream& stream() { return file_.is_open() ? file_ : std::cout; }

 private:
  static constexpr std::size_t kBufferSize = std::size_t{1} << 20;
  std::vector<char> file_buffer_;  // declared before the stream that uses it
  std::ofstream file_;
};

BatchConvertOptions convert_options(const BatchOptions& options) {
  BatchConvertOptions convert;
  if (!options.prefs_file.empty()) convert.prefs_file = options.prefs_file;
  if (!options.ole_dir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options.ole_dir, error);
    if (error || !std::filesystem::is_directory(options.ole_dir))
      fail("cannot create directory " + options.ole_dir);
    convert.ole_dir = options.ole_dir;
  }
  return convert;
}

void write_stats(const std::string& path, const BatchSummary& summary, double seconds, unsigned jobs) {
  std::ofstream out(path, std::ios::trunc);
  out << summary.json(seconds, jobs).dump(2) << '\n';
  out.close();
  if (!out) fail("cannot write " + path);
}

int run_batch(const BatchOptions& options) {
  const BatchConvertOptions convert = convert_options(options);
  std::ifstream file;
  if (options.input != "-") {
    file.open(options.input, std::ios::binary);
    if (!file) fail("cannot open " + options.input);
  }
  std::istream& in = options.input == "-" ? std::cin : file;
  Output output(options.output);
  std::ostream& out = output.stream();

  const bool show_progress = ::isatty(STDERR_FILENO) == 1;
  // The total is worth a second pass over the input only when there is a bar
  // to show it in.
  ProgressBar progress(std::cerr, show_progress, show_progress ? count_batch_lines(in) : std::nullopt);
  BatchReader reader(in, options.tex_lines ? InputFormat::kTexLines : InputFormat::kJsonLines,
                     convert.ole_dir.has_value());
  BatchSummary summary;

  const auto start = std::chrono::steady_clock::now();
  run_ordered_pool(options.jobs,
                   {
                       [&reader] { return reader.next(); },
                       [&convert](const BatchItem& item) { return convert_batch_item(item, convert); },
                       [&](BatchOutcome&& outcome) {
                         out << outcome.line << '\n';
                         summary.add(outcome);
                         progress.update(summary.total());
                       },
                   });
  out.flush();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  progress.finish(summary.total());

  if (reader.failed())
    fail("cannot read " + (options.input == "-" ? std::string("standard input") : options.input));
  if (!out) fail("cannot write the output");
  std::cerr << summary.text(seconds, options.jobs);
  if (!options.stats_file.empty()) write_stats(options.stats_file, summary, seconds, options.jobs);
  return summary.failed() == 0 ? kAllConverted : kSomeFailed;
}

}  // namespace

void add_batch_command(CLI::App& app) {
  auto options = std::make_shared<BatchOptions>();
  CLI::App* command =
      app.add_subcommand("batch", "Convert one expression per input line and write one JSON line per input");
  command->add_option("input", options->input, "The input file, or - for standard input (the default)");
  command->add_flag("--tex", options->tex_lines,
                    "Each line is one TeX text (its id is its line number) instead of a JSON object");
  command->add_option("-j,--jobs", options->jobs, "Conversion threads (default: the number of cores)")
      ->check(CLI::Range(1u, 1024u));
  command->add_option("-o,--output", options->output, "Write the JSON lines to this file (default: stdout)");
  command->add_option(
      "--ole-dir", options->ole_dir,
      "Write each compound file to DIR/<id>.ole and name it in \"ole_file\" instead of inline hex");
  command->add_option("--stats", options->stats_file, "Write the summary to this file as JSON");
  command->add_option("--prefs", options->prefs_file, "Preferences file passed as \"prefs_file\"");
  command->footer(
      "Input: one JSON object per line, {\"latex\": ..., \"id\": ...} (other members ignored; the id "
      "defaults to "
      "the line number), or with --tex one TeX text per line. Blank lines are skipped. A line that cannot be "
      "read is reported as that line's error.\n"
      "Output, in input order: {\"id\":...,\"result\":{...}} or {\"id\":...,\"error\":\"...\"} per line. A "
      "summary goes to standard error, with a progress bar when standard error is a terminal.\n"
      "Exit status: 0 every line converted, 1 some failed, 2 bad usage or unreadable input.");
  command->callback([options] {
    const int status = run_batch(*options);
    if (status != 0) throw CLI::RuntimeError(status);
  });
}

}  // namespace quorvix::tools
