// Commands kept as raw TeX in front of their translated argument
// (\textsf{x} is raw "\textsf" followed by x): the font or decoration they
// stand for has no translation, but their content is shown. An argument that
// cannot be read leaves the command alone as raw TeX.
#include <utility>

#include "parser/commands/command_arguments.h"
#include "parser/commands/named_commands.h"
#include "parser/helpers.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

[[gnu::noinline]] void finish_raw_prefix(Parser& p, Result<Expr>& argument, std::size_t after_name,
                                         std::string_view name) {
  if (argument.ok()) {
    argument.value() = raw_prefix_expr(name, std::move(argument.value()));
  } else {
    recover_as_raw_command(p, argument, after_name, name);
  }
}

}  // namespace

Result<Expr> raw_prefix_argument_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<Expr> argument = parse_recoverable_group_or_atom(p, "raw-prefixed argument");
  finish_raw_prefix(p, argument, after_name, command.name);
  return argument;
}

Result<Expr> raw_prefix_group_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<Expr> argument = parse_recoverable_group(p, "raw-prefixed content");
  finish_raw_prefix(p, argument, after_name, command.name);
  return argument;
}

}  // namespace quorvix::parser
