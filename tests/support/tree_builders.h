// Builders of expression trees for the writer tests: leaves, wrappers,
// scripts and mixed raw/translated runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ast/expr.h"

namespace quorvix::test_support {

inline ast::Expr ch(char32_t c) { return ast::make_char(c); }
inline ast::Expr seq(ast::ExprList items) { return ast::make_sequence(std::move(items)); }
inline ast::Expr raw(std::string t) { return ast::make_raw(std::move(t)); }
inline ast::Expr text(std::string t) { return ast::make_text(std::move(t)); }
inline ast::Expr space(std::uint8_t w) { return ast::Expr(ast::Space{w}); }
inline ast::Expr fn(std::string name) { return ast::Expr(ast::FunctionName{std::move(name)}); }
inline ast::Expr sized(char32_t c) { return ast::Expr(ast::SizedDelimiter{c}); }
inline ast::Expr color(std::string name, ast::Expr body) {
  return ast::Expr(ast::Color{std::move(name), ast::box(std::move(body))});
}
inline ast::Expr style(ast::StyleKind k, ast::Expr body) {
  return ast::Expr(ast::Style{ast::box(std::move(body)), k});
}
inline ast::Expr group(ast::Expr body) { return ast::Expr(ast::Group{ast::box(std::move(body))}); }
inline ast::Expr font(ast::FontKind k, ast::Expr body) {
  return ast::Expr(ast::Font{ast::box(std::move(body)), k});
}
inline ast::Expr script(ast::Expr base, std::optional<ast::Expr> sub, std::optional<ast::Expr> sup) {
  ast::Script s;
  s.base = ast::box(std::move(base));
  if (sub) s.sub = ast::box(std::move(*sub));
  if (sup) s.sup = ast::box(std::move(*sup));
  return ast::Expr(std::move(s));
}

// A Hybrid from raw pieces (strings) and visible expressions.
struct HybridPiece {
  HybridPiece(const char* raw_text) : raw(raw_text) {}  // NOLINT
  HybridPiece(ast::Expr e) : visible(std::move(e)) {}   // NOLINT
  std::optional<std::string> raw;
  std::optional<ast::Expr> visible;
};
[[gnu::noinline]] inline ast::Expr hybrid(std::vector<HybridPiece> pieces) {
  std::vector<ast::HybridPart> parts;
  parts.reserve(pieces.size());
  for (HybridPiece& p : pieces) {
    if (p.raw)
      parts.emplace_back(std::in_place_type<ast::HybridRaw>, ast::HybridRaw{*p.raw});
    else
      parts.emplace_back(std::in_place_type<ast::HybridVisible>,
                         ast::HybridVisible{ast::box(std::move(*p.visible))});
  }
  return ast::Expr(ast::Hybrid{std::move(parts)});
}

}  // namespace quorvix::test_support
