// A compact one-line rendering of an expression tree, for tests and
// diagnostics, e.g. Seq[Char('x'), Raw("}")].
#pragma once

#include <string>

#include "ast/expr.h"

namespace quorvix::ast {

// Renders the tree without recursion, so any depth is safe. Characters show
// as 'x' when printable ASCII and as U+XXXX otherwise; texts in double
// quotes; optional children only when present, as name=child.
std::string dump(const Expr& expr);

}  // namespace quorvix::ast
