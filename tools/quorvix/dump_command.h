// `quorvix dump`: the record inspector.
#pragma once

namespace CLI {
class App;
}

namespace quorvix::tools {

void add_dump_command(CLI::App& app);

}  // namespace quorvix::tools
