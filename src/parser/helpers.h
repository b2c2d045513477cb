// Builders that put verbatim TeX (RawTex leaves, Hybrid parts) next to
// translated expressions, and the final pass that joins neighbouring raw
// leaves. None of them recurses on the machine stack.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "common/result.h"

namespace quorvix::parser {

// "\" + name: the TeX text of a command.
std::string backslash_name(std::string_view name);
// RawTex "\" + name: a command kept as raw TeX.
ast::Expr raw_command_expr(std::string_view name);
// Sequence[RawTex "\" + name, expr's items]; a non-Sequence expr is one item.
ast::Expr raw_prefix_expr(std::string_view name, ast::Expr expr);
// Sequence[RawTex "\" + name] followed by each expr's items.
ast::Expr raw_prefix_sequence(std::string_view name, ast::ExprList exprs);
// As raw_prefix_sequence with a ready-made raw text instead of a name.
ast::Expr raw_prefix_sequence_with_raw(std::string raw, ast::ExprList exprs);
// Appends a Sequence's items, or the expr itself.
void push_visible_items(ast::ExprList& items, ast::Expr&& expr);

// Puts `whitespace` in front of the first raw text of `expr` along its first
// position (through Sequences and DefaultColor, Group, Color, Style, Font);
// where the first position holds no raw text the whitespace is dropped.
ast::Expr with_leading_raw_space(ast::Expr expr, std::string_view whitespace);
// The same in place, which leaves `expr` untouched when there is no whitespace.
void add_leading_raw_space(ast::Expr& expr, std::string_view whitespace);

// Adds one atom of a body (a \left body, a switch's content) with its leading
// raw space, dropping an empty sequence; false when the body ends here: the
// atom failed, or it is the failure marker, which is then the whole body.
bool take_body_atom(ast::ExprList& items, Result<ast::Expr>& atom, std::string_view ws);

// Appends raw text, merging with a trailing Raw part.
void append_hybrid_raw(std::vector<ast::HybridPart>& parts, std::string_view text);
// Appends Visible(collapse_single_sequence(expr)) unless that is an empty Sequence.
void append_hybrid_line(std::vector<ast::HybridPart>& parts, ast::Expr expr);
// Appends an expr, turning its raw leaves into Raw parts.
void append_expr_as_hybrid(std::vector<ast::HybridPart>& parts, ast::Expr expr);

// Joins every run of adjacent RawTex items of every Sequence in the tree
// into one RawTex. Applied once to the finished tree.
ast::Expr merge_adjacent_raw_tex(ast::Expr expr);

}  // namespace quorvix::parser
