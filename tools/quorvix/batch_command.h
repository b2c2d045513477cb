// `quorvix batch`: converts many expressions, one per input line, on several
// threads, and writes one JSON line per input in input order.
#pragma once

namespace CLI {
class App;
}

namespace quorvix::tools {

void add_batch_command(CLI::App& app);

}  // namespace quorvix::tools
