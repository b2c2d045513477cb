// Labels and references. A label is read and dropped; a reference to a
// label cannot be shown in an equation, so \eqref{x} becomes the failure
// marker, while a reference without its braced label stays raw TeX.
#include <utility>

#include "parser/commands/command_arguments.h"
#include "parser/commands/named_commands.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

[[gnu::noinline]] void drop_content(Result<Expr>& content) {
  if (content.ok()) content.value() = Expr();
}

[[gnu::noinline]] void mark_translation_failed(Result<Expr>& content) {
  if (content.ok()) content.value() = ast::make_translation_failed();
}

}  // namespace

Result<Expr> Parser::parse_ignored_group_command() {
  skip_ws();
  Result<Expr> content =
      peek() == U'{' ? parse_brace_group_once(*this) : parse_required_group_or_atom("label name");
  drop_content(content);
  return content;
}

Result<Expr> Parser::parse_translation_failed_group_command(std::string_view name) {
  skip_ws();
  if (peek() != U'{') return raw_command(name);
  Result<Expr> content = parse_brace_group_once(*this);
  mark_translation_failed(content);
  return content;
}

Result<Expr> label_command(Parser& p, const NamedCommand& /*command*/) {
  return p.parse_ignored_group_command();
}

Result<Expr> reference_command(Parser& p, const NamedCommand& command) {
  return p.parse_translation_failed_group_command(command.name);
}

}  // namespace quorvix::parser
