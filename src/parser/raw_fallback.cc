#include "parser/raw_fallback.h"

#include "parser/commands/symbol_tables.h"

namespace quorvix::parser {

bool should_force_raw_simple_command(HashedName name) { return always_raw_command(name); }

}  // namespace quorvix::parser
