// Colours: \color{name} colours the rest of the group, \textcolor{name}{x}
// its argument. The name is kept as written; the writer knows a few names
// and writes any other colour's content uncoloured. A name or argument that
// cannot be read leaves the command as raw TeX, parsing resuming after it.
#include <string>
#include <utility>

#include "parser/commands/command_arguments.h"
#include "parser/commands/named_commands.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

[[gnu::noinline]] void wrap_in_color(Result<Expr>& content, std::string& name) {
  if (!content.ok()) return;
  ast::Color color;
  color.name = std::move(name);
  color.body = ast::box(ast::collapse_single_sequence(std::move(content.value())));
  content.value() = Expr(std::move(color));
}

// The colour name as a raw group; on failure the parser is back after the
// command name and `content` holds the command as raw TeX.
[[gnu::noinline]] bool read_color_name(Parser& p, std::string& name, Result<Expr>& content,
                                       std::size_t after_name, std::string_view command) {
  Result<std::string> group = p.parse_raw_group("color name");
  if (group.ok()) {
    name = std::move(group.value());
    return true;
  }
  content = Result<Expr>(std::move(group).error());
  recover_as_raw_command(p, content, after_name, command);
  return false;
}

}  // namespace

Result<Expr> color_switch_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  std::string name;
  Result<Expr> content = Expr();
  if (!read_color_name(p, name, content, after_name, command.name)) return content;
  // The content fails as a switch does: the failure is passed on.
  content = p.parse_switch_content();
  wrap_in_color(content, name);
  return content;
}

Result<Expr> text_color_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  std::string name;
  Result<Expr> content = Expr();
  if (!read_color_name(p, name, content, after_name, command.name)) return content;
  content = parse_recoverable_group_or_atom(p, "textcolor content");
  if (content.ok()) {
    wrap_in_color(content, name);
  } else {
    recover_as_raw_command(p, content, after_name, command.name);
  }
  return content;
}

}  // namespace quorvix::parser
