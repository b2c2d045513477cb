// Switches that apply to the rest of the group: the old font commands (\bf,
// \rm ...) and the math styles (\displaystyle ...). Their content is read by
// parse_switch_content; its failure is the switch's failure.
#include <utility>

#include "parser/commands/named_commands.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

// The content wrapped in the switch's font. The failure marker is passed on
// alone, so that it ends the enclosing sequence as it would without the font.
[[gnu::noinline]] void wrap_in_font(Result<Expr>& content, std::uint8_t font_code) {
  if (!content.ok()) return;
  Expr body = ast::collapse_single_sequence(std::move(content.value()));
  if (font_code == kNoFontKind || ast::is_translation_failed_marker(body)) {
    content.value() = std::move(body);
    return;
  }
  ast::Font font;
  font.body = ast::box(std::move(body));
  font.font = static_cast<ast::FontKind>(font_code);
  content.value() = Expr(std::move(font));
}

[[gnu::noinline]] void wrap_in_style(Result<Expr>& content, std::uint8_t style_code) {
  if (!content.ok()) return;
  ast::Style style;
  style.body = ast::box(ast::collapse_single_sequence(std::move(content.value())));
  style.style = static_cast<ast::StyleKind>(style_code);
  content.value() = Expr(std::move(style));
}

}  // namespace

Result<Expr> font_switch_command(Parser& p, const NamedCommand& command) {
  Result<Expr> content = p.parse_switch_content();
  wrap_in_font(content, command.code);
  return content;
}

Result<Expr> style_switch_command(Parser& p, const NamedCommand& command) {
  Result<Expr> content = p.parse_switch_content();
  wrap_in_style(content, command.code);
  return content;
}

}  // namespace quorvix::parser
