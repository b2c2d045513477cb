// Child enumeration for Expr, shared by copy, destruction and tree queries.
#pragma once

#include <type_traits>

namespace quorvix::ast {

namespace detail {

template <class B, class F>
void visit_box(B& b, F& f) {
  if (b) f(*b);
}

template <class R, class F>
void visit_rows(R& rows, F& f) {
  for (auto& row : rows)
    for (auto& cell : row) f(cell);
}

template <class T>
using constness_of = std::conditional_t<std::is_const_v<std::remove_reference_t<T>>, const Expr, Expr>;

}  // namespace detail

template <class E, class F>
void for_each_child(E& e, F&& f, bool with_trivia) {
  std::visit(
      [&](auto& n) {
        using T = std::decay_t<decltype(n)>;
        if constexpr (std::is_same_v<T, Sequence>) {
          for (auto& item : n.items) f(item);
        } else if constexpr (std::is_same_v<T, Hybrid>) {
          for (auto& part : n.parts)
            if (auto* v = std::get_if<HybridVisible>(&part)) detail::visit_box(v->expr, f);
        } else if constexpr (std::is_same_v<T, DefaultColor> || std::is_same_v<T, Group> ||
                             std::is_same_v<T, Color> || std::is_same_v<T, Style> ||
                             std::is_same_v<T, Font> || std::is_same_v<T, Accent> ||
                             std::is_same_v<T, ArrowAccent> || std::is_same_v<T, OverUnderline> ||
                             std::is_same_v<T, Strike> || std::is_same_v<T, Not> ||
                             std::is_same_v<T, BigOperatorBody> ||
                             std::is_same_v<T, Delimited> ||
                             std::is_same_v<T, OneSidedDelimited>) {
          detail::visit_box(n.body, f);
        } else if constexpr (std::is_same_v<T, Fraction>) {
          detail::visit_box(n.numerator, f);
          detail::visit_box(n.denominator, f);
        } else if constexpr (std::is_same_v<T, Sqrt>) {
          detail::visit_box(n.radicand, f);
        } else if constexpr (std::is_same_v<T, Root>) {
          detail::visit_box(n.index, f);
          detail::visit_box(n.radicand, f);
        } else if constexpr (std::is_same_v<T, BigOperator> || std::is_same_v<T, Integral>) {
          detail::visit_box(n.lower, f);
          detail::visit_box(n.upper, f);
          detail::visit_box(n.body, f);
        } else if constexpr (std::is_same_v<T, Limit>) {
          detail::visit_box(n.lower, f);
          detail::visit_box(n.upper, f);
        } else if constexpr (std::is_same_v<T, MathOp>) {
          detail::visit_box(n.body, f);
          detail::visit_box(n.lower, f);
          detail::visit_box(n.upper, f);
        } else if constexpr (std::is_same_v<T, Binomial>) {
          detail::visit_box(n.upper, f);
          detail::visit_box(n.lower, f);
        } else if constexpr (std::is_same_v<T, Brace>) {
          detail::visit_box(n.body, f);
          detail::visit_box(n.label, f);
        } else if constexpr (std::is_same_v<T, Stackrel>) {
          detail::visit_box(n.over, f);
          detail::visit_box(n.base, f);
        } else if constexpr (std::is_same_v<T, Underset>) {
          detail::visit_box(n.under, f);
          detail::visit_box(n.base, f);
        } else if constexpr (std::is_same_v<T, XArrow>) {
          detail::visit_box(n.over, f);
          detail::visit_box(n.under, f);
        } else if constexpr (std::is_same_v<T, Substack> || std::is_same_v<T, Subarray> ||
                             std::is_same_v<T, Matrix>) {
          detail::visit_rows(n.rows, f);
        } else if constexpr (std::is_same_v<T, Environment>) {
          detail::visit_rows(n.rows, f);
          if (with_trivia)
            for (auto& a : n.trivia.row_annotations) detail::visit_box(a.label, f);
        } else if constexpr (std::is_same_v<T, Script>) {
          detail::visit_box(n.base, f);
          detail::visit_box(n.sub, f);
          detail::visit_box(n.sup, f);
        } else {
          // Leaves: Char, SizedDelimiter, CommandSymbol, BigSymbol,
          // BigOperatorSymbol, Empty, RawTex, Space, FunctionName, TextRun,
          // IntegralSign.
          static_assert(std::is_same_v<T, Char> || std::is_same_v<T, SizedDelimiter> ||
                            std::is_same_v<T, CommandSymbol> || std::is_same_v<T, BigSymbol> ||
                            std::is_same_v<T, BigOperatorSymbol> || std::is_same_v<T, Empty> ||
                            std::is_same_v<T, RawTex> || std::is_same_v<T, Space> ||
                            std::is_same_v<T, FunctionName> || std::is_same_v<T, TextRun> ||
                            std::is_same_v<T, IntegralSign>,
                        "every node kind with children must be listed above");
        }
      },
      e.node);
}

}  // namespace quorvix::ast
