// Building blocks of the worst-case inputs: a unit repeated, and a parse
// that also reports how many attempts failed on the way (the work done again
// by the recovery rules).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "parser/parser.h"

namespace quorvix::testing {

inline std::string repeat(std::string_view unit, std::size_t times) {
  std::string out;
  out.reserve(unit.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += unit;
  return out;
}

// One level of a nested construct: the text in front of the inner one and
// the text after it.
struct NestPattern {
  const char* open;
  const char* close;
};

// `levels` levels of the pattern around an `x`.
inline std::string nested(const NestPattern& p, std::size_t levels) {
  return repeat(p.open, levels) + "x" + repeat(p.close, levels);
}

struct Parsed {
  Result<ast::Expr> result;
  std::size_t failed_attempts;
};

// The sequence of the whole text (before the final pass that joins raw
// leaves) and the parser's count of failed attempts.
inline Parsed parse_counting(const std::string& text) {
  parser::Parser p(text);
  Result<ast::Expr> r = p.parse_sequence(std::nullopt);
  return Parsed{std::move(r), p.attempt_memo().size()};
}

}  // namespace quorvix::testing
