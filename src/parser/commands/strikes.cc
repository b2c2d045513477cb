// The strike-out commands: \sout, \cancel, \bcancel and \xcancel.
#include <string>

#include "parser/commands/template_handlers.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

std::string_view content_label(ast::StrikeKind kind) {
  switch (kind) {
    case ast::StrikeKind::Sout: return "sout content";
    case ast::StrikeKind::Cancel: return "cancel content";
    case ast::StrikeKind::Bcancel: return "bcancel content";
    case ast::StrikeKind::Xcancel: return "xcancel content";
  }
  return "strike content";
}

// A bracketed option cannot be shown: option and argument are read and
// dropped, and the whole sequence becomes the failure text.
[[gnu::noinline]] Result<Expr> drop_optioned_strike(Parser& p, ast::StrikeKind kind) {
  Result<std::optional<Expr>> option = p.parse_optional_bracket_group();
  if (!option.ok() && option.error().fatal) return std::move(option).error();
  Result<Expr> argument = p.parse_required_group_or_atom(content_label(kind));
  if (!argument.ok() && argument.error().fatal) return argument;
  return ast::make_translation_failed();
}

[[gnu::noinline]] void finish_strike(Result<Expr>& content, std::string_view name, ast::StrikeKind kind) {
  if (content.ok()) {
    content = Expr(ast::Strike{ast::box(std::move(content.value())), kind});
  } else if (!content.error().fatal) {
    content = raw_command_expr(name);
  }
}

}  // namespace

Result<Expr> parse_strike_command(Parser& p, std::string_view name, ast::StrikeKind kind) {
  const std::size_t after_name = p.pos();
  p.skip_ws();
  if (p.peek() == U'[') return drop_optioned_strike(p, kind);
  p.set_pos(after_name);
  // A content that cannot be read leaves the command raw; the text after its
  // name is then read again as ordinary input.
  Result<Expr> content = p.attempt_once(Construct::Argument,
                                        [&] { return p.parse_required_group_or_atom(content_label(kind)); });
  finish_strike(content, name, kind);
  return content;
}

}  // namespace quorvix::parser
