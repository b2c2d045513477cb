// Accents over one argument (\hat{x}, \bar x, \acute{e}) and the arrows set
// over it (\vec, \overrightarrow and its relatives). An argument that cannot
// be read leaves the command alone as raw TeX; the text after its name is
// then read again as ordinary input.
#include <utility>

#include "parser/commands/command_arguments.h"
#include "parser/commands/decorations.h"
#include "parser/commands/named_commands.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

std::string_view arrow_label(std::string_view name) {
  if (name == "vec") return "vector arrow content";
  if (name == "overleftarrow") return "left arrow content";
  if (name == "overleftrightarrow") return "left-right arrow content";
  return "right arrow content";
}

// Out of line: the tree-building temporaries stay off the recursive path
// through the argument.
[[gnu::noinline]] void finish_accent(Parser& p, Result<Expr>& argument, std::size_t after_name,
                                     const NamedCommand& command) {
  if (argument.ok()) {
    argument.value() =
        Expr(ast::Accent{ast::box(std::move(argument.value())), static_cast<ast::AccentKind>(command.code)});
  } else {
    recover_as_raw_command(p, argument, after_name, command.name);
  }
}

[[gnu::noinline]] void finish_arrow_accent(Parser& p, Result<Expr>& argument, std::size_t after_name,
                                           const NamedCommand& command) {
  if (argument.ok()) {
    argument.value() = normalize_arrow_accent_expr(static_cast<ast::ArrowDirection>(command.code),
                                                   std::move(argument.value()));
  } else {
    recover_as_raw_command(p, argument, after_name, command.name);
  }
}

}  // namespace

Expr normalize_arrow_accent_expr(ast::ArrowDirection direction, Expr body) {
  ast::ArrowAccent arrow;
  arrow.body = ast::box(ast::collapse_single_sequence(std::move(body)));
  arrow.direction = direction;
  arrow.under = false;
  return Expr(std::move(arrow));
}

Result<Expr> accent_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<Expr> argument = parse_recoverable_group_or_atom(p, "accent content");
  finish_accent(p, argument, after_name, command);
  return argument;
}

Result<Expr> arrow_accent_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<Expr> argument = parse_recoverable_group_or_atom(p, arrow_label(command.name));
  finish_arrow_accent(p, argument, after_name, command);
  return argument;
}

}  // namespace quorvix::parser
