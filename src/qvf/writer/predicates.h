// Questions the writers ask about the start or the end of a subtree before
// they write it: which construct it opens with, whether it brings its own
// colour, whether it consists of spaces only.
//
// Every "starts with" test walks down a chain of first children without
// recursion; which wrappers a test looks through is part of its definition.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "ast/expr.h"
#include "common/small_stack.h"

namespace quorvix::qvf {

// Wrappers a descent may step through (bit set).
namespace through {
inline constexpr unsigned kSequence = 1u << 0;      // first item of a non-empty Sequence
inline constexpr unsigned kOneItem = 1u << 1;       // the item of a one-item Sequence
inline constexpr unsigned kHybrid = 1u << 2;        // expression of a Hybrid whose first part is visible
inline constexpr unsigned kStyle = 1u << 3;         // Style body
inline constexpr unsigned kDefaultColor = 1u << 4;  // DefaultColor body
inline constexpr unsigned kGroup = 1u << 5;         // Group body
inline constexpr unsigned kScriptBase = 1u << 6;    // Script base
inline constexpr unsigned kFont = 1u << 7;          // Font body
// The usual descent: sequences, visible hybrid parts and styles.
inline constexpr unsigned kUsual = kSequence | kHybrid | kStyle;
}  // namespace through

// One step down through the wrappers in `mask`, or nullptr when `e` is not
// such a wrapper.
const ast::Expr* step_into(const ast::Expr& e, unsigned mask);

// The node reached by stepping through the wrappers in `mask` as long as possible.
const ast::Expr& descend(const ast::Expr& e, unsigned mask);

// True when `pred` holds for any node on the descent path (the start, every
// wrapper passed and the node reached).
template <class Pred>
bool any_on_path(const ast::Expr& e, unsigned mask, Pred&& pred) {
  for (const ast::Expr* cur = &e; cur != nullptr; cur = step_into(*cur, mask))
    if (pred(*cur)) return true;
  return false;
}

// True when `pred` holds for `e` or any node below it (environment trivia
// not included). Walks without recursion.
template <class Pred>
bool any_in_subtree(const ast::Expr& e, Pred&& pred) {
  SmallStack<const ast::Expr*> pending(&e);
  while (!pending.empty()) {
    const ast::Expr* cur = pending.pop();
    if (pred(*cur)) return true;
    ast::for_each_child(
        *cur, [&](const ast::Expr& c) { pending.push(&c); }, /*with_trivia=*/false);
  }
  return false;
}

// True when a big operator (with or without limits, or applied to a body)
// occurs anywhere in `e`.
bool expr_contains_big_op(const ast::Expr& e);

// Body of `e` after looking through one-item sequences.
const ast::Expr& collapse_single_expr(const ast::Expr& e);

bool expr_starts_with_raw_tex(const ast::Expr& e);
bool expr_starts_with_self_opening(const ast::Expr& e);
bool expr_starts_with_line_layout_object(const ast::Expr& e);
bool expr_starts_with_top_matrix(const ast::Expr& e);
bool expr_starts_with_top_fenced_matrix(const ast::Expr& e);
bool expr_starts_with_parenthesized_pile(const ast::Expr& e);
bool expr_starts_with_environment_fallback(const ast::Expr& e);
bool expr_starts_with_slotless_big_op(const ast::Expr& e);
bool expr_starts_with_bodyless_big_op_script(const ast::Expr& e);
bool expr_starts_with_side_script_integral(const ast::Expr& e);
bool expr_starts_with_standalone_big_glyph(const ast::Expr& e);
bool expr_starts_with_empty_base_script(const ast::Expr& e);
bool expr_starts_with_empty_base_superscript(const ast::Expr& e);
bool expr_ends_with_limit_like_template(const ast::Expr& e);
bool expr_requires_explicit_sqrt_index_restore(const ast::Expr& e);

// True for a BigOperator without operand with at least one limit, or a MathOp
// with at least one limit.
bool is_bodyless_limited_operator(const ast::Expr& e);
// True for a MathOp with a lower or an upper part.
bool is_math_op_with_limit(const ast::Expr& e);

// Whole-tree test: a Space, or a non-empty Sequence (or Style) of only-space
// expressions.
bool expr_is_only_spaces(const ast::Expr& e);

// True when `e` is, or starts through first items of sequences only with, a
// character or a symbol command. Such a tree starts with none of the
// constructs the tests of a tree's start look for, which most formulas need
// not ask about one by one.
bool expr_starts_plainly(const ast::Expr& e);

// The Space items a Sequence (or a single Space) starts with, and the items
// after them. `spaces` is empty when there is no leading space.
struct LeadingSpaces {
  std::span<const ast::Expr> spaces;
  std::span<const ast::Expr> rest;
};
LeadingSpaces leading_space_rest(const ast::Expr& e);

}  // namespace quorvix::qvf
