// Adjusts a translated macro replacement that is shown next to a definition
// kept as raw TeX: bare big operators become single glyphs.
#pragma once

#include "ast/expr.h"

namespace quorvix::parser {

// Inside Sequences (at any depth), a BigOperator with no limits and no body
// becomes Group of its sign (BigOperatorSymbol U+2211 for Sum, BigSymbol
// U+220F, U+2210, U+22C3, U+22C2 for Prod, Coprod, Bigcup, Bigcap), and a
// BigOperator with a body becomes BigOperatorBody(body, kind). Everything
// else is unchanged.
ast::Expr normalize_definition_fallback_expr(ast::Expr expr);

}  // namespace quorvix::parser
