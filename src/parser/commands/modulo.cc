// The modulo forms: \mod and \bmod are the word "mod" between spaces, \pmod
// and \pod put their argument (after "mod" for \pmod) in parentheses.
#include <utility>
#include <vector>

#include "parser/commands/named_commands.h"
#include "parser/commands/templates.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

Expr space(std::uint8_t width) { return Expr(ast::Space{width}); }

Expr modulo_word() { return Expr(ast::FunctionName{"mod"}); }

[[gnu::noinline]] void finish_parenthesized(Result<Expr>& argument, bool with_mod) {
  if (argument.ok()) argument.value() = modulo_parenthesized_expr(std::move(argument.value()), with_mod);
}

}  // namespace

Expr modulo_parenthesized_expr(Expr argument, bool with_mod) {
  Expr inner = std::move(argument);
  if (with_mod) {
    ExprList parts;
    parts.push_back(modulo_word());
    parts.push_back(std::move(inner));
    inner = ast::make_sequence(std::move(parts));
  }
  ExprList items;
  items.push_back(space(5));
  items.push_back(Expr(ast::Delimited{ast::box(std::move(inner)), U'(', U')'}));
  return ast::make_sequence(std::move(items));
}

Result<Expr> modulo_command(Parser& /*p*/, const NamedCommand& command) {
  ExprList items;
  items.push_back(space(command.code));
  items.push_back(modulo_word());
  items.push_back(space(2));
  return ast::make_sequence(std::move(items));
}

// A failing argument is the command's failure: these commands have no raw
// fallback.
Result<Expr> parenthesized_modulo_command(Parser& p, const NamedCommand& command) {
  Result<Expr> argument = p.parse_required_group_or_atom("modulo argument");
  finish_parenthesized(argument, command.name == "pmod");
  return argument;
}

}  // namespace quorvix::parser
