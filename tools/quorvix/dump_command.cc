#include "quorvix/dump_command.h"

#include <CLI/CLI.hpp>

namespace quorvix::tools {

void add_dump_command(CLI::App&) {}

}  // namespace quorvix::tools
