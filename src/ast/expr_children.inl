// Child enumeration for Expr, shared by copy, destruction and tree queries.
#pragma once

#include <array>
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

// The `Box` children of a box-only node in field order, as pointers (to const
// when the node is const); an empty array for every other kind.
template <class N>
auto boxes_of(N& n) {
  using T = std::remove_const_t<N>;
  using BoxPtr = std::conditional_t<std::is_const_v<N>, const Box*, Box*>;
  if constexpr (std::is_same_v<T, DefaultColor> || std::is_same_v<T, Group> || std::is_same_v<T, Color> ||
                std::is_same_v<T, Style> || std::is_same_v<T, Font> || std::is_same_v<T, Accent> ||
                std::is_same_v<T, ArrowAccent> || std::is_same_v<T, OverUnderline> ||
                std::is_same_v<T, Strike> || std::is_same_v<T, Not> || std::is_same_v<T, BigOperatorBody> ||
                std::is_same_v<T, Delimited> || std::is_same_v<T, OneSidedDelimited>) {
    return std::array<BoxPtr, 1>{&n.body};
  } else if constexpr (std::is_same_v<T, Fraction>) {
    return std::array<BoxPtr, 2>{&n.numerator, &n.denominator};
  } else if constexpr (std::is_same_v<T, Sqrt>) {
    return std::array<BoxPtr, 1>{&n.radicand};
  } else if constexpr (std::is_same_v<T, Root>) {
    return std::array<BoxPtr, 2>{&n.index, &n.radicand};
  } else if constexpr (std::is_same_v<T, BigOperator> || std::is_same_v<T, Integral>) {
    return std::array<BoxPtr, 3>{&n.lower, &n.upper, &n.body};
  } else if constexpr (std::is_same_v<T, Limit>) {
    return std::array<BoxPtr, 2>{&n.lower, &n.upper};
  } else if constexpr (std::is_same_v<T, MathOp>) {
    return std::array<BoxPtr, 3>{&n.body, &n.lower, &n.upper};
  } else if constexpr (std::is_same_v<T, Binomial>) {
    return std::array<BoxPtr, 2>{&n.upper, &n.lower};
  } else if constexpr (std::is_same_v<T, Brace>) {
    return std::array<BoxPtr, 2>{&n.body, &n.label};
  } else if constexpr (std::is_same_v<T, Stackrel>) {
    return std::array<BoxPtr, 2>{&n.over, &n.base};
  } else if constexpr (std::is_same_v<T, Underset>) {
    return std::array<BoxPtr, 2>{&n.under, &n.base};
  } else if constexpr (std::is_same_v<T, XArrow>) {
    return std::array<BoxPtr, 2>{&n.over, &n.under};
  } else if constexpr (std::is_same_v<T, Script>) {
    return std::array<BoxPtr, 3>{&n.base, &n.sub, &n.sup};
  } else {
    // Kinds whose children sit in lists, and the leaves: Char,
    // SizedDelimiter, CommandSymbol, BigSymbol, BigOperatorSymbol, Empty,
    // RawTex, Space, FunctionName, TextRun, IntegralSign.
    static_assert(std::is_same_v<T, Sequence> || std::is_same_v<T, Hybrid> || std::is_same_v<T, Substack> ||
                      std::is_same_v<T, Subarray> || std::is_same_v<T, Matrix> ||
                      std::is_same_v<T, Environment> || std::is_same_v<T, Char> ||
                      std::is_same_v<T, SizedDelimiter> || std::is_same_v<T, CommandSymbol> ||
                      std::is_same_v<T, BigSymbol> || std::is_same_v<T, BigOperatorSymbol> ||
                      std::is_same_v<T, Empty> || std::is_same_v<T, RawTex> || std::is_same_v<T, Space> ||
                      std::is_same_v<T, FunctionName> || std::is_same_v<T, TextRun> ||
                      std::is_same_v<T, IntegralSign>,
                  "every node kind with box children must be listed above");
    return std::array<BoxPtr, 0>{};
  }
}

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
        } else if constexpr (std::is_same_v<T, Substack> || std::is_same_v<T, Subarray> ||
                             std::is_same_v<T, Matrix>) {
          detail::visit_rows(n.rows, f);
        } else if constexpr (std::is_same_v<T, Environment>) {
          detail::visit_rows(n.rows, f);
          if (with_trivia)
            if (const auto* trivia = n.trivia.get())
              for (const auto& a : trivia->row_annotations) detail::visit_box(a.label, f);
        } else {
          for (auto* b : detail::boxes_of(n)) detail::visit_box(*b, f);
        }
      },
      e.node);
}

}  // namespace quorvix::ast
