// The quorvix command-line tool.
#include <CLI/CLI.hpp>

#include "quorvix/batch_command.h"
#include "quorvix/convert_command.h"
#include "quorvix/dump_command.h"

int main(int argc, char** argv) {
  CLI::App app{"quorvix: TeX math to Quorvix equation objects"};
  app.require_subcommand(1);
  quorvix::tools::add_convert_command(app);
  quorvix::tools::add_dump_command(app);
  quorvix::tools::add_batch_command(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::RuntimeError& e) {
    // A command's own exit status.
    return e.get_exit_code();
  } catch (const CLI::ParseError& e) {
    // Help exits with 0; every usage error with 2.
    return app.exit(e) == 0 ? 0 : 2;
  }
  return 0;
}
