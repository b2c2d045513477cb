// The quorvix command-line tool.
#include <CLI/CLI.hpp>

#include "quorvix/convert_command.h"
#include "quorvix/dump_command.h"

int main(int argc, char** argv) {
  CLI::App app{"quorvix: TeX math to Quorvix equation objects"};
  app.require_subcommand(1);
  quorvix::tools::add_convert_command(app);
  quorvix::tools::add_dump_command(app);
  CLI11_PARSE(app, argc, argv);
  return 0;
}
