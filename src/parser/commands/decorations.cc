// Bars over and under one argument (\overline, \underline) and the decorated
// limits \varlimsup, \varliminf, \varinjlim and \varprojlim, which take no
// argument: "lim" with a bar or an arrow under or over it.
#include <utility>

#include "parser/commands/command_arguments.h"
#include "parser/commands/named_commands.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

Expr lim_word() { return Expr(ast::FunctionName{"lim"}); }

[[gnu::noinline]] void finish_bar(Parser& p, Result<Expr>& argument, std::size_t after_name,
                                  const NamedCommand& command) {
  if (argument.ok()) {
    argument.value() = Expr(ast::OverUnderline{ast::box(std::move(argument.value())), command.code != 0});
  } else {
    recover_as_raw_command(p, argument, after_name, command.name);
  }
}

}  // namespace

Result<Expr> over_underline_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<Expr> argument =
      parse_recoverable_group_or_atom(p, command.code != 0 ? "underline content" : "overline content");
  finish_bar(p, argument, after_name, command);
  return argument;
}

Result<Expr> decorated_lim_command(Parser& /*p*/, const NamedCommand& command) {
  switch (static_cast<DecoratedLim>(command.code)) {
    case DecoratedLim::BarOver: return Expr(ast::OverUnderline{ast::box(lim_word()), false});
    case DecoratedLim::BarUnder: return Expr(ast::OverUnderline{ast::box(lim_word()), true});
    case DecoratedLim::ArrowRight:
      return Expr(ast::ArrowAccent{ast::box(lim_word()), ast::ArrowDirection::Right, true});
    case DecoratedLim::ArrowLeft:
      return Expr(ast::ArrowAccent{ast::box(lim_word()), ast::ArrowDirection::Left, true});
  }
  return raw_command(command.name);
}

}  // namespace quorvix::parser
