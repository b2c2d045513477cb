// Commands that are always kept as raw TeX, whatever else knows their name.
#pragma once

#include <string_view>

#include "common/sorted_table.h"

namespace quorvix::parser {

// True for the names kept as raw TeX before any named command or symbol
// table is consulted.
bool should_force_raw_simple_command(HashedName name);

}  // namespace quorvix::parser
