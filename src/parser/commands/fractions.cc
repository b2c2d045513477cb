// Fractions (\frac, \dfrac, \tfrac, \cfrac), \genfrac and the binomials
// (\binom, \dbinom, \tbinom).
#include <string>
#include <utility>
#include <vector>

#include "parser/commands/template_handlers.h"
#include "parser/commands/templates.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

bool is_cfrac(std::string_view name) { return name == "cfrac"; }

// The numerator read: replaces it in `slot` with the whole fraction. One
// whose denominator cannot be read keeps the numerator visible after the
// raw command.
[[gnu::noinline]] void build_fraction(std::string_view name, Result<Expr>& slot, Result<Expr>& denominator) {
  if (!denominator.ok()) {
    if (denominator.error().fatal)
      slot = std::move(denominator);
    else
      slot = raw_prefix_expr(name, std::move(slot.value()));
    return;
  }
  Expr fraction(ast::Fraction{ast::box(std::move(slot.value())), ast::box(std::move(denominator.value()))});
  if (name == "dfrac")
    fraction = Expr(ast::Style{ast::box(std::move(fraction)), ast::StyleKind::Display});
  else if (name == "tfrac")
    fraction = Expr(ast::Style{ast::box(std::move(fraction)), ast::StyleKind::Text});
  slot = std::move(fraction);
}

// Only the denominator's result is on this frame while it is read.
[[gnu::noinline]] void finish_fraction(Parser& p, std::string_view name, Result<Expr>& slot) {
  Result<Expr> denominator = p.parse_required_group_or_atom(is_cfrac(name) ? "continued fraction denominator"
                                                                           : "fraction denominator");
  build_fraction(name, slot, denominator);
}

// \frac whose numerator cannot be read stays raw and the text after its name
// is read again as ordinary input.
[[gnu::noinline]] void raw_command(std::string_view name, Result<Expr>& slot) {
  if (slot.error().fatal) return;
  std::string raw = "\\";
  raw += name;
  slot = ast::make_raw(std::move(raw));
}

// A \genfrac delimiter: a braced group (empty: no delimiter), whose trimmed
// text is read as one delimiter, or a delimiter read in place.
[[gnu::noinline]] Result<std::optional<char32_t>> parse_genfrac_delimiter(Parser& p, std::string_view label) {
  p.skip_ws();
  if (p.peek() != U'{') {
    QV_ASSIGN_OR_RETURN(const char32_t c, parse_delimiter_char(p, label));
    return std::optional<char32_t>(c);
  }
  QV_ASSIGN_OR_RETURN(const std::string text, p.parse_raw_group(label));
  const std::size_t first = text.find_first_not_of(" \t\r\n\f\v");
  if (first == std::string::npos) return std::optional<char32_t>();
  const std::size_t last = text.find_last_not_of(" \t\r\n\f\v");
  Parser sub(std::string_view(text).substr(first, last + 1 - first), p.source_encoding());
  QV_ASSIGN_OR_RETURN(const char32_t c, parse_delimiter_char(sub, label));
  return std::optional<char32_t>(c);
}

// The text of a \genfrac thickness or style group, translated when not empty.
[[gnu::noinline]] Status push_genfrac_text(Parser& p, std::string_view label, ExprList& items) {
  QV_ASSIGN_OR_RETURN(const std::string text, p.parse_raw_group(label));
  if (text.empty()) return Status();
  QV_ASSIGN_OR_RETURN(Expr parsed, p.parse_macro_replacement(text));
  items.push_back(std::move(parsed));
  return Status();
}

[[gnu::noinline]] Status push_genfrac_argument(Parser& p, std::string_view label, ExprList& items) {
  QV_ASSIGN_OR_RETURN(Expr argument, p.parse_required_group_or_atom(label));
  items.push_back(std::move(argument));
  return Status();
}

// The upper row read: replaces it in `slot` with the binomial.
[[gnu::noinline]] void build_binomial(Result<Expr>& slot, Result<Expr>& lower) {
  if (!lower.ok()) {
    slot = std::move(lower);
    return;
  }
  slot = Expr(ast::Binomial{ast::box(std::move(slot.value())), ast::box(std::move(lower.value())),
                            ast::BinomialKind::Binom});
}

[[gnu::noinline]] void finish_binomial(Parser& p, Result<Expr>& slot) {
  Result<Expr> lower = p.parse_required_group("binomial lower");
  build_binomial(slot, lower);
}

}  // namespace

Result<Expr> parse_fraction_like_command(Parser& p, std::string_view name) {
  // One named result, returned in place: this sits on recursive paths.
  Result<Expr> fraction = p.attempt_once(Construct::Fraction, [&] {
    return p.parse_required_group_or_atom(is_cfrac(name) ? "continued fraction numerator"
                                                         : "fraction numerator");
  });
  // After a failure attempt_once has put the parser back after the name.
  if (fraction.ok())
    finish_fraction(p, name, fraction);
  else
    raw_command(name, fraction);
  return fraction;
}

Result<Expr> parse_genfrac(Parser& p) {
  // Every argument is required; the first that fails is the command's failure.
  ExprList items;
  QV_ASSIGN_OR_RETURN(const std::optional<char32_t> left,
                      parse_genfrac_delimiter(p, "genfrac left delimiter"));
  QV_ASSIGN_OR_RETURN(const std::optional<char32_t> right,
                      parse_genfrac_delimiter(p, "genfrac right delimiter"));
  if (left) items.push_back(ast::make_char(*left));
  if (right) items.push_back(ast::make_char(*right));
  QV_RETURN_IF_ERROR(push_genfrac_text(p, "genfrac line thickness", items));
  QV_RETURN_IF_ERROR(push_genfrac_text(p, "genfrac style", items));
  QV_RETURN_IF_ERROR(push_genfrac_argument(p, "genfrac numerator", items));
  QV_RETURN_IF_ERROR(push_genfrac_argument(p, "genfrac denominator", items));
  return raw_prefix_sequence("genfrac", std::move(items));
}

Result<Expr> parse_binom(Parser& p) {
  Result<Expr> pile = p.parse_required_group("binomial upper");
  if (pile.ok()) finish_binomial(p, pile);
  return pile;
}

Result<Expr> parse_styled_binom(Parser& p, ast::StyleKind style) {
  Result<Expr> pile = parse_binom(p);
  if (pile.ok()) pile.value() = Expr(ast::Style{ast::box(std::move(pile.value())), style});
  return pile;
}

}  // namespace quorvix::parser
