// Raw TeX forms of scripts that cannot be attached to their base as a tree:
// the script marker (and whatever belongs to it) is kept as raw text beside
// the base and the visible argument.
//
// Builders named `..._expr` that return an optional only apply in some
// cases; they take the base and the argument by reference and move from them
// only when they apply, so the caller can try its next rule with both intact.
#pragma once

#include <optional>
#include <string_view>

#include "ast/expr.h"
#include "parser/limit_modifier.h"

namespace quorvix::parser {

// Appends RawTex(text) to a Sequence base, or makes Sequence[base, RawTex(text)].
ast::Expr raw_script_suffix_expr(ast::Expr base, std::string_view text);

// Sequence[base, RawTex "^{" + text + "}"].
ast::Expr raw_superscript_suffix_expr(ast::Expr base, std::string_view text);

// The base's items, RawTex(prefix), the argument's items, then RawTex(suffix)
// unless the suffix is empty.
ast::Expr raw_script_hybrid_suffix_expr(ast::Expr base, std::string_view prefix, ast::Expr argument,
                                        std::string_view suffix);

// A script whose argument is raw at both ends (a group holding an
// environment kept raw): the marker and the argument's braces become raw
// text around the argument.
std::optional<ast::Expr> raw_group_script_suffix_expr(ast::Expr& base, std::string_view marker,
                                                      ast::Expr& argument);

// A limit modifier before a script on a base that takes no limits: the
// base's items, RawTex("\limits" or "\nolimits" + marker), the argument's items.
ast::Expr raw_limits_script_suffix_expr(ast::Expr base, LimitModifier modifier, std::string_view marker,
                                        ast::Expr argument);

// A further script after a raw one: a Sequence base ending in a RawTex that
// starts with "^" or "_" gets the marker joined to that text; a Sequence base
// whose item before the last is a RawTex ending in "\limits_" or
// "\nolimits_" (and whose last item is not raw) gets RawTex(marker). In both
// cases the argument's items follow.
std::optional<ast::Expr> append_raw_script_followup(ast::Expr& base, std::string_view marker,
                                                    ast::Expr& argument);

// A script after a \left...\right fence whose body is a big operator with
// limits and no operand (\left( \sum_i \right)^n): Sequence[RawTex "\left(",
// the operator, RawTex " \right)" + marker, the argument's items].
std::optional<ast::Expr> delimited_bodyless_big_op_outer_script_expr(ast::Expr& base, std::string_view marker,
                                                                     ast::Expr& argument);

// True when the text is not empty, holds an apostrophe and consists only of
// apostrophes and spaces.
bool is_raw_prime_script_group(std::u32string_view text);

// The split of a superscript's content at its last "^{" when what follows is
// a prime group closed by the content's final "}": `before` is the text in
// front of the "^{" (never empty), `primes` the text between it and the "}".
struct PrimeTail {
  std::u32string_view before;
  std::u32string_view primes;
};
std::optional<PrimeTail> split_prime_superscript_tail(std::u32string_view text);

// True when the node carries scripts of its own: limits of a big operator,
// integral, limit or \mathop, the slots of a Script, the label of a brace.
bool expr_has_attached_scripts(const ast::Expr& expr);

}  // namespace quorvix::parser
