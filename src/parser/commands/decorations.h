// Tree builders shared by the decoration commands.
#pragma once

#include "ast/expr.h"

namespace quorvix::parser {

// The arrow accent over `body` (a one-item sequence gives its item), set
// over it and pointing in `direction`.
ast::Expr normalize_arrow_accent_expr(ast::ArrowDirection direction, ast::Expr body);

// Not(operand) for a negated relation symbol, Strike(operand, Cancel) for a
// negated fence, and the operand itself (the negation dropped) for anything
// else. The core is found through one-item sequences; the operand is wrapped
// whole.
ast::Expr not_relation_expr(ast::Expr operand);

}  // namespace quorvix::parser
