// `quorvix convert`: converts one TeX math expression through the C interface.
#pragma once

namespace CLI {
class App;
}

namespace quorvix::tools {

void add_convert_command(CLI::App& app);

}  // namespace quorvix::tools
