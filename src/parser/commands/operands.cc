// Operands of big operators and integrals: \sum_i x_i takes x_i, \int f\,dx
// takes f. Each operator without an operand takes the next complete atom,
// so \sum\sum x nests.
#include <utility>

#include "parser/chars.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

// A big operator or integral that has no operand yet.
bool awaits_operand(const Expr& e) {
  if (const auto* op = e.get_if<ast::BigOperator>()) return !op->body;
  if (const auto* integral = e.get_if<ast::Integral>()) return !integral->body;
  return e.is<ast::IntegralSign>();
}

// The operand read (or failed): stored as the body, or its failure replaces
// the operator.
[[gnu::noinline]] void set_operand(Result<Expr>& atom, Result<Expr>& operand) {
  if (!operand.ok()) {
    atom = std::move(operand).error();
    return;
  }
  Expr& op = atom.value();
  if (auto* big = op.get_if<ast::BigOperator>()) {
    big->body = ast::box(std::move(operand.value()));
  } else if (auto* integral = op.get_if<ast::Integral>()) {
    integral->body = ast::box(std::move(operand.value()));
  } else {
    ast::Integral with_operand;
    with_operand.integral = op.as<ast::IntegralSign>().integral;
    with_operand.body = ast::box(std::move(operand.value()));
    op = Expr(std::move(with_operand));
  }
}

[[gnu::noinline]] void fail_without_operand(Result<Expr>& atom) {
  atom = make_error("expected big-operator operand");
}

[[gnu::noinline]] void fail_nested_too_deeply(Result<Expr>& atom) { atom = nesting_error(); }

// Reads the operand of `atom` (the parser stands after the operator) and
// stores it as its body.
[[gnu::noinline]] void take_operand(Parser& p, Result<Expr>& atom) {
  p.skip_ws();
  if (p.big_op_operand_stops()) return fail_without_operand(atom);
  // The operand is read here, not inside an atom: one nesting level per
  // operator, so \sum\sum\sum... ends at the nesting bound.
  const Parser::NestingScope scope(p);
  if (scope.exceeded()) return fail_nested_too_deeply(atom);
  Result<Expr> operand = p.parse_complete_atom();
  set_operand(atom, operand);
}

bool control_word_ahead(std::u32string_view rest, std::u32string_view word) {
  return rest.substr(0, word.size()) == word &&
         (rest.size() == word.size() || !is_ascii_letter(rest[word.size()]));
}

}  // namespace

Result<Expr> Parser::parse_complete_atom() {
  Result<Expr> atom = parse_atom_with_scripts();
  if (atom.ok() && awaits_operand(atom.value()) && !big_op_operand_stops()) take_operand(*this, atom);
  return atom;
}

bool Parser::big_op_operand_stops() const {
  if (at_end()) return true;
  switch (chars_[pos_]) {
    case U'&':
    case U'+':
    case U',':
    case U'-':
    case U'=':
    case U'}': return true;
    case U'\\': {
      const std::u32string_view rest = std::u32string_view(chars_).substr(pos_);
      return rest.substr(0, 2) == U"\\\\" || control_word_ahead(rest, U"\\right") ||
             control_word_ahead(rest, U"\\end");
    }
    default: return false;
  }
}

}  // namespace quorvix::parser
