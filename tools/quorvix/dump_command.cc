#include "quorvix/dump_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "quorvix/dump_run.h"

namespace quorvix::tools {

void add_dump_command(CLI::App& app) {
  auto options = std::make_shared<DumpOptions>();
  CLI::App* cmd =
      app.add_subcommand("dump", "Print a QVF record stream as an indented listing of its records");
  cmd->add_option(
         "input", options->inputs,
         "A compound file, an Equation Native stream, a raw QVF stream, a conversion response (JSON), "
         "hex text of any of these, a file of hex text, or - for standard input")
      ->required()
      ->expected(1, 2);
  cmd->add_flag("--diff", options->diff, "Compare two inputs: quorvix dump --diff A B");
  cmd->add_flag("--hex", options->force_hex, "Read the input as hex text even when it does not look like it");
  cmd->add_flag(
      "--no-offsets", [options](std::int64_t) { options->offsets = false; },
      "Leave out the offset column (for comparing listings with other tools)");
  cmd->add_flag("--compact", options->compact,
                "Fold each run of plain characters in one typeface into a single CHARS line");
  cmd->add_option("--context", options->context,
                  "Unchanged lines shown around each change with --diff (default 3; -1 shows every line)");
  cmd->add_flag(
      "--full", [options](std::int64_t) { options->context = -1; },
      "With --diff, show every line, not only the changes and their context");
  cmd->footer(
      "Offsets are positions in the QVF stream, in hex. A malformed stream is listed up to the point where "
      "it can no "
      "longer be followed, with the offset and the reason.\n"
      "Exit status: 0 stream complete (with --diff: listings the same), 1 decoding stopped early (with "
      "--diff: "
      "listings differ), 2 input unreadable.");
  cmd->callback([options] {
    const int status = run_dump(*options, std::cout, std::cerr);
    std::cout.flush();
    if (status != 0) throw CLI::RuntimeError(status);
  });
}

}  // namespace quorvix::tools
