// \not: a negated relation. The operand is read as a group or an atom with
// its scripts; a failure to read it is the command's failure (there is no
// raw fallback).
#include <utility>

#include "parser/commands/decorations.h"
#include "parser/commands/named_commands.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

// The node under the one-item sequences around `e`.
const Expr& single_core(const Expr& e) {
  const Expr* cur = &e;
  while (const auto* s = cur->get_if<ast::Sequence>()) {
    if (s->items.size() != 1) break;
    cur = &s->items.front();
  }
  return *cur;
}

[[gnu::noinline]] void finish_not(Result<Expr>& operand) {
  if (operand.ok()) operand.value() = not_relation_expr(std::move(operand.value()));
}

}  // namespace

Expr not_relation_expr(Expr operand) {
  const Expr& core = single_core(operand);
  if (core.is<ast::Char>() || core.is<ast::CommandSymbol>())
    return Expr(ast::Not{ast::box(std::move(operand))});
  if (core.is<ast::Delimited>() || core.is<ast::OneSidedDelimited>())
    return Expr(ast::Strike{ast::box(std::move(operand)), ast::StrikeKind::Cancel});
  return operand;
}

Result<Expr> not_command(Parser& p, const NamedCommand& /*command*/) {
  Result<Expr> operand = p.parse_required_group_or_atom("not relation");
  finish_not(operand);
  return operand;
}

}  // namespace quorvix::parser
