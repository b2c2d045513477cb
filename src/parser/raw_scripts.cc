#include "parser/raw_scripts.h"

#include <string>
#include <utility>
#include <vector>

#include "common/utf8.h"
#include "parser/group_braces.h"
#include "parser/helpers.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// The base's items (or the base), then `raw`.
ExprList items_then_raw(Expr base, std::string raw) {
  ExprList items;
  push_visible_items(items, std::move(base));
  items.push_back(ast::make_raw(std::move(raw)));
  return items;
}

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool ends_with(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

Expr raw_script_suffix_expr(Expr base, std::string_view text) {
  if (auto* seq = base.get_if<ast::Sequence>()) {
    seq->items.push_back(ast::make_raw(std::string(text)));
    return base;
  }
  ExprList items;
  items.push_back(std::move(base));
  items.push_back(ast::make_raw(std::string(text)));
  return ast::make_sequence(std::move(items));
}

Expr raw_superscript_suffix_expr(Expr base, std::string_view text) {
  std::string raw = "^{";
  raw += text;
  raw += '}';
  ExprList items;
  items.push_back(std::move(base));
  items.push_back(ast::make_raw(std::move(raw)));
  return ast::make_sequence(std::move(items));
}

Expr raw_script_hybrid_suffix_expr(Expr base, std::string_view prefix, Expr argument,
                                   std::string_view suffix) {
  ExprList items = items_then_raw(std::move(base), std::string(prefix));
  push_visible_items(items, std::move(argument));
  if (!suffix.empty()) items.push_back(ast::make_raw(std::string(suffix)));
  return ast::make_sequence(std::move(items));
}

std::optional<Expr> raw_group_script_suffix_expr(Expr& base, std::string_view marker, Expr& argument) {
  if (!expr_keeps_outer_group_braces_raw(argument)) return std::nullopt;
  std::string prefix(marker);
  prefix += '{';
  return raw_script_hybrid_suffix_expr(std::move(base), prefix, std::move(argument), "}");
}

Expr raw_limits_script_suffix_expr(Expr base, LimitModifier modifier, std::string_view marker,
                                   Expr argument) {
  std::string raw(limit_modifier_command(modifier));
  raw += marker;
  ExprList items = items_then_raw(std::move(base), std::move(raw));
  push_visible_items(items, std::move(argument));
  return ast::make_sequence(std::move(items));
}

std::optional<Expr> append_raw_script_followup(Expr& base, std::string_view marker, Expr& argument) {
  auto* seq = base.get_if<ast::Sequence>();
  if (seq == nullptr || seq->items.empty()) return std::nullopt;
  ExprList& items = seq->items;
  if (auto* last = items.back().get_if<ast::RawTex>()) {
    if (!starts_with(last->text, "^") && !starts_with(last->text, "_")) return std::nullopt;
    last->text += marker;
  } else {
    if (items.size() < 2) return std::nullopt;
    const auto* before = items[items.size() - 2].get_if<ast::RawTex>();
    if (before == nullptr ||
        !(ends_with(before->text, "\\limits_") || ends_with(before->text, "\\nolimits_")))
      return std::nullopt;
    items.push_back(ast::make_raw(std::string(marker)));
  }
  push_visible_items(items, std::move(argument));
  return std::move(base);
}

namespace {

Expr* through_single_items(Expr* e) {
  while (auto* seq = e->get_if<ast::Sequence>()) {
    if (seq->items.size() != 1) break;
    e = &seq->items.front();
  }
  return e;
}

// A fence character as TeX writes it after \left or \right.
std::string fence_spelling(char32_t c) {
  switch (c) {
    case U'{': return "\\{";
    case U'}': return "\\}";
    case U'\u2016': return "\\|";
    case U'\u2308': return "\\lceil";
    case U'\u2309': return "\\rceil";
    case U'\u230A': return "\\lfloor";
    case U'\u230B': return "\\rfloor";
    case U'\u3008': return "\\langle";
    case U'\u3009': return "\\rangle";
    default: break;
  }
  std::string text;
  append_utf8(text, c);
  return text;
}

}  // namespace

std::optional<Expr> delimited_bodyless_big_op_outer_script_expr(Expr& base, std::string_view marker,
                                                                Expr& argument) {
  // A fence around a bare operator with limits cannot carry a script as a
  // tree: the fence stays raw around the visible operator, the script
  // marker with the closing fence, and the script's argument is shown.
  auto* fence = through_single_items(&base)->get_if<ast::Delimited>();
  if (fence == nullptr || !fence->body) return std::nullopt;
  Expr* inner = through_single_items(fence->body.get());
  const auto* op = inner->get_if<ast::BigOperator>();
  if (op == nullptr || op->body || op->nolimits || (!op->lower && !op->upper)) return std::nullopt;
  ExprList items;
  items.push_back(ast::make_raw("\\left" + fence_spelling(fence->left)));
  items.push_back(std::move(*inner));
  std::string closing = " \\right" + fence_spelling(fence->right);
  closing += marker;
  items.push_back(ast::make_raw(std::move(closing)));
  push_visible_items(items, std::move(argument));
  return ast::make_sequence(std::move(items));
}

bool is_raw_prime_script_group(std::u32string_view text) {
  bool has_prime = false;
  for (const char32_t c : text) {
    if (c == U'\'') {
      has_prime = true;
    } else if (c != U' ') {
      return false;
    }
  }
  return has_prime;
}

std::optional<PrimeTail> split_prime_superscript_tail(std::u32string_view text) {
  if (text.empty() || text.back() != U'}') return std::nullopt;
  // Only apostrophes and spaces may stand between the last "^{" and the
  // final "}", and neither forms part of a "^{": the last "^{" is the one
  // right before that run, or the text does not split.
  std::size_t start = text.size() - 1;
  while (start > 0 && (text[start - 1] == U'\'' || text[start - 1] == U' ')) --start;
  if (start < 3 || text[start - 1] != U'{' || text[start - 2] != U'^') return std::nullopt;
  const std::u32string_view primes = text.substr(start, text.size() - 1 - start);
  if (!is_raw_prime_script_group(primes)) return std::nullopt;
  return PrimeTail{text.substr(0, start - 2), primes};
}

bool expr_has_attached_scripts(const Expr& expr) {
  if (const auto* n = expr.get_if<ast::BigOperator>()) return n->lower || n->upper;
  if (const auto* n = expr.get_if<ast::Integral>()) return n->lower || n->upper;
  if (const auto* n = expr.get_if<ast::Limit>()) return n->lower || n->upper;
  if (const auto* n = expr.get_if<ast::MathOp>()) return n->lower || n->upper;
  if (const auto* n = expr.get_if<ast::Script>()) return n->sub || n->sup;
  if (const auto* n = expr.get_if<ast::Brace>()) return static_cast<bool>(n->label);
  return false;
}

}  // namespace quorvix::parser
