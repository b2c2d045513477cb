// The physics matrix shorthands (\mqty, \pmqty, \dmat ...), whose body is
// cut into cells shown between raw separators, and the multi-group
// commands \xmat and \zmat, whose groups are shown after the raw command.
#include <utility>

#include "parser/chars.h"
#include "parser/commands/named_commands.h"
#include "parser/helpers.h"
#include "parser/physics/physics.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

[[gnu::noinline]] Expr bodiless_matrix(std::string_view name, bool star) {
  std::string raw = backslash_name(name);
  if (star) raw += '*';
  return ast::make_raw(std::move(raw));
}

void append_visible_char(std::vector<ast::HybridPart>& parts, char32_t c) {
  parts.emplace_back(ast::HybridVisible{ast::box(ast::make_char(c))});
}

char32_t closer_of(char32_t open) { return open == U'(' ? U')' : open == U'[' ? U']' : U'|'; }

// The body after the command word (and star) in `parts`.
[[gnu::noinline]] Status matrix_body(Parser& p, std::string_view name, std::vector<ast::HybridPart>& parts) {
  const char32_t next = *p.peek();
  if (next == U'{') {
    Result<TextSpan> span = read_raw_group_span(p, physics_context(name, "content"));
    if (!span.ok()) return std::move(span).error();
    append_hybrid_raw(parts, "{");
    QV_RETURN_IF_ERROR(parse_physics_matrix_raw_content(p, *span, parts));
    append_hybrid_raw(parts, "}");
    return Status();
  }
  if (next == U'(' || next == U'[' || next == U'|') {
    Result<TextSpan> span = parse_physics_delimited_body(p, next, name);
    if (!span.ok()) return std::move(span).error();
    append_visible_char(parts, next);
    QV_RETURN_IF_ERROR(parse_physics_matrix_raw_content(p, *span, parts));
    append_visible_char(parts, closer_of(next));
    return Status();
  }
  Result<Expr> content = p.parse_switch_content();
  if (!content.ok()) return std::move(content).error();
  append_hybrid_line(parts, std::move(content.value()));
  return Status();
}

}  // namespace

Result<Expr> physics_matrix_command(Parser& p, const NamedCommand& command) {
  const bool star = p.consume_optional_star();
  p.skip_ws();
  if (p.at_end()) return bodiless_matrix(command.name, star);
  std::vector<ast::HybridPart> parts;
  append_hybrid_raw(parts, backslash_name(command.name));
  if (star) append_visible_char(parts, U'*');
  Status body = matrix_body(p, command.name, parts);
  if (!body.ok()) return std::move(body).error();
  return Expr(ast::Hybrid{std::move(parts)});
}

namespace {

[[gnu::noinline]] Status translate_group(Parser& p, std::string_view name, unsigned k, ExprList& items) {
  std::string context = physics_context(name, "argument ");
  context += std::to_string(k);
  Result<TextSpan> span = read_raw_group_span(p, context);
  if (!span.ok()) return std::move(span).error();
  Result<Expr> group = p.parse_text_range(span->begin, span->end);
  if (!group.ok()) return std::move(group).error();
  push_visible_items(items, std::move(group.value()));
  return Status();
}

[[gnu::noinline]] Expr multi_group_expr(std::string_view name, ExprList items) {
  std::vector<ast::HybridPart> parts;
  append_hybrid_raw(parts, backslash_name(name));
  parts.emplace_back(
      ast::HybridVisible{ast::box(ast::collapse_single_sequence(ast::make_sequence(std::move(items))))});
  return Expr(ast::Hybrid{std::move(parts)});
}

}  // namespace

Result<Expr> physics_multi_group_command(Parser& p, const NamedCommand& command) {
  ExprList items;
  if (p.consume_optional_star()) items.push_back(ast::make_char(U'*'));
  for (unsigned k = 1; k <= command.code; ++k) {
    Status group = translate_group(p, command.name, k, items);
    if (!group.ok()) return std::move(group).error();
  }
  return multi_group_expr(command.name, std::move(items));
}

}  // namespace quorvix::parser
