#include "parser/raw_fallback.h"

namespace quorvix::parser {

bool should_force_raw_simple_command(std::string_view /*name*/) { return false; }

}  // namespace quorvix::parser
