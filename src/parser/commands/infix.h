// The infix commands (\over and its relatives) joined with their two sides.
#pragma once

#include <vector>

#include "ast/expr.h"
#include "parser/parser.h"

namespace quorvix::parser {

// The two sides of an infix command joined as inside a braced group: \over
// gives a Fraction and \choose a Binomial; the other commands stay a raw
// piece between the sides' items.
ast::Expr infix_expr(InfixCommand command, ast::ExprList& left, ast::Expr right);

}  // namespace quorvix::parser
