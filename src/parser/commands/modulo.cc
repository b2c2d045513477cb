// The modulo forms: \mod and \bmod are the word "mod" between spaces, \pmod
// and \pod put it in parentheses with their argument.
#include <utility>
#include <vector>

#include "parser/commands/command_arguments.h"
#include "parser/commands/named_commands.h"
#include "parser/helpers.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

Expr space(std::uint8_t width) { return Expr(ast::Space{width}); }

Expr modulo_word() { return Expr(ast::FunctionName{"mod"}); }

// A space, "(mod", a space, the argument and ")".
[[gnu::noinline]] Expr modulo_parenthesized_expr(Expr argument) {
  std::vector<Expr> items;
  items.push_back(space(5));
  items.push_back(ast::make_char(U'('));
  items.push_back(modulo_word());
  items.push_back(space(2));
  push_visible_items(items, std::move(argument));
  items.push_back(ast::make_char(U')'));
  return ast::make_sequence(std::move(items));
}

[[gnu::noinline]] void finish_parenthesized(Parser& p, Result<Expr>& argument, std::size_t after_name,
                                            std::string_view name) {
  if (argument.ok()) {
    argument.value() = modulo_parenthesized_expr(std::move(argument.value()));
  } else {
    recover_as_raw_command(p, argument, after_name, name);
  }
}

}  // namespace

Result<Expr> modulo_command(Parser& /*p*/, const NamedCommand& command) {
  std::vector<Expr> items;
  items.push_back(space(command.code));
  items.push_back(modulo_word());
  items.push_back(space(2));
  return ast::make_sequence(std::move(items));
}

Result<Expr> parenthesized_modulo_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<Expr> argument = parse_recoverable_group_or_atom(p, "modulo argument");
  finish_parenthesized(p, argument, after_name, command.name);
  return argument;
}

}  // namespace quorvix::parser
