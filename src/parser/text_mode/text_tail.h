// The letters written directly after a \text group that holds inline math:
// they continue the group's last word (\text{$n$}th).
#pragma once

#include <string>

#include "ast/expr.h"

namespace quorvix::parser {

class Parser;

// The ASCII letters and digits that follow at the position, consumed.
std::string consume_adjacent_text_tail(Parser& p);

// Adds Text(tail) at the end: to the items of a Sequence, otherwise as
// Sequence[expr, Text(tail)].
ast::Expr append_visible_text_tail(ast::Expr expr, std::string tail);

}  // namespace quorvix::parser
