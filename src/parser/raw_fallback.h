// Commands that are always kept as raw TeX, whatever else knows their name.
#pragma once

#include <string_view>

namespace quorvix::parser {

// True for the names kept as raw TeX before any named command or symbol
// table is consulted.
bool should_force_raw_simple_command(std::string_view name);

}  // namespace quorvix::parser
