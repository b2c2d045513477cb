// Attaching scripts, primes and limits to a base: the tree side of the
// script parser (the reading side is Parser::parse_atom_with_scripts).
#pragma once

#include "ast/expr.h"
#include "parser/limit_modifier.h"

namespace quorvix::parser {

// The base with one script attached; exactly one of `sub` and `sup` is set.
// The shape depends on the base: lim and sup become a Limit, big operators,
// integrals, limits and \mathop take the script as a limit, an over or under
// brace takes it as its label, a Script takes it in its free slot or nests,
// anything else becomes a Script. A failure marker as the script or the base
// swallows the whole scripted atom.
ast::Expr merge_script(ast::Expr&& base, ast::Box sub, ast::Box sup, LimitModifier modifier);

// A prime typed as an apostrophe after the base: U+0027 at the end of a
// Sequence base or of a Script's superscript, else Sequence[base, '].
ast::Expr append_postfix_prime(ast::Expr base);

// A second lower (or upper) limit on a bare big operator, written as text:
// the operator sign, RawTex(marker), the old limit, RawTex(marker), the new
// script (limits that are Sequences are spliced in).
ast::Expr repeated_bodyless_big_op_script_expr(ast::BigOperatorKind kind, char marker, ast::Expr old_limit,
                                               ast::Expr script);

// A limit modifier that no script followed, kept as raw text after the base.
ast::Expr raw_limits_modifier_expr(ast::Expr base, LimitModifier modifier);

// Script(empty Sequence, sub).
ast::Expr empty_base_sub_script(ast::Expr sub);

}  // namespace quorvix::parser
