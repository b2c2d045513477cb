// Fonts and alphabets applied to one argument: \mathbf{x}, \mathbb R,
// \mathcal{A}, the argument-only \mathit and the blackboard shorthands. An
// argument that cannot be read leaves the command as raw TeX.
#include <utility>

#include "parser/commands/command_arguments.h"
#include "parser/commands/named_commands.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

Expr font_expr(ast::FontKind kind, Expr body) {
  ast::Font font;
  font.body = ast::box(ast::collapse_single_sequence(std::move(body)));
  font.font = kind;
  return Expr(std::move(font));
}

// The argument read (or failed): in the command's font, or the command
// alone as raw TeX.
[[gnu::noinline]] void finish_font(Parser& p, Result<Expr>& argument, std::size_t after_name,
                                   const NamedCommand& command, ast::FontKind kind) {
  if (argument.ok()) {
    argument.value() = font_expr(kind, std::move(argument.value()));
  } else {
    recover_as_raw_command(p, argument, after_name, command.name);
  }
}

[[gnu::noinline]] void finish_plain(Parser& p, Result<Expr>& argument, std::size_t after_name,
                                    const NamedCommand& command) {
  if (argument.ok()) {
    argument.value() = ast::collapse_single_sequence(std::move(argument.value()));
  } else {
    recover_as_raw_command(p, argument, after_name, command.name);
  }
}

}  // namespace

Result<Expr> font_argument_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<Expr> argument = parse_recoverable_group_or_atom(p, "font argument");
  finish_font(p, argument, after_name, command, static_cast<ast::FontKind>(command.code));
  return argument;
}

Result<Expr> calligraphic_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<Expr> argument = parse_recoverable_group(p, "calligraphic content");
  finish_font(p, argument, after_name, command, ast::FontKind::MathCal);
  return argument;
}

Result<Expr> plain_argument_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<Expr> argument = parse_recoverable_group_or_atom(p, "font argument");
  finish_plain(p, argument, after_name, command);
  return argument;
}

Result<Expr> blackboard_shorthand_command(Parser& /*p*/, const NamedCommand& command) {
  return blackboard_letter(static_cast<char32_t>(command.code));
}

Expr blackboard_letter(char32_t letter) { return font_expr(ast::FontKind::MathBb, ast::make_char(letter)); }

}  // namespace quorvix::parser
