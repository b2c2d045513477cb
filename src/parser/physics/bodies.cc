// The bodies of the physics commands: delimited, braced or the rest of the
// group, and the cells of a matrix body.
#include <utility>

#include "parser/chars.h"
#include "parser/helpers.h"
#include "parser/physics/physics.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

std::string physics_context(std::string_view name, std::string_view what) {
  std::string context(name);
  context += ' ';
  context += what;
  return context;
}

namespace {

[[gnu::noinline]] Error delimiter_error(std::string_view prefix, char32_t open, std::string_view suffix,
                                        std::string_view name) {
  std::string message(prefix);
  append_utf8(message, open);
  message += suffix;
  message += name;
  return make_error(std::move(message));
}

[[gnu::noinline]] Error unterminated_error(std::string_view name) {
  std::string message = "unterminated physics delimiter for \\";
  message += name;
  return make_error(std::move(message));
}

// Char open, the translated text's items, Char close.
[[gnu::noinline]] Expr delimited_expr(char32_t open, Expr inside, char32_t close) {
  ExprList items;
  items.push_back(ast::make_char(open));
  push_visible_items(items, std::move(inside));
  items.push_back(ast::make_char(close));
  return ast::collapse_single_sequence(ast::make_sequence(std::move(items)));
}

Result<Expr> parse_physics_auto_brace_delimited_body(Parser& p, char32_t open, char32_t close,
                                                     std::string_view name) {
  Result<TextSpan> span = parse_physics_delimited_body(p, open, name);
  if (!span.ok()) return std::move(span).error();
  Result<Expr> inside = p.parse_text_range(span->begin, span->end);
  if (inside.ok()) inside.value() = delimited_expr(open, std::move(inside.value()), close);
  return inside;
}

[[gnu::noinline]] Result<Expr> parse_braced_body(Parser& p, std::string_view name) {
  Result<TextSpan> span = read_raw_group_span(p, physics_context(name, "content"));
  if (!span.ok()) return std::move(span).error();
  return p.parse_text_range(span->begin, span->end);
}

}  // namespace

Result<TextSpan> parse_physics_delimited_body(Parser& p, char32_t open, std::string_view name) {
  p.skip_ws();
  if (p.peek() != open) return delimiter_error("expected ", open, " after \\", name);
  const std::size_t start = p.pos();
  const std::optional<std::size_t> end = p.delimiter_closer(start);
  if (!end) return unterminated_error(name);
  p.set_pos(*end + 1);
  return TextSpan{start + 1, *end};
}

Result<std::optional<Expr>> parse_physics_auto_brace_body(Parser& p, std::string_view name) {
  using Body = Result<std::optional<Expr>>;
  p.skip_ws();
  if (p.at_end()) return Body(std::optional<Expr>());
  Result<Expr> body = [&]() -> Result<Expr> {
    switch (*p.peek()) {
      case U'(': return parse_physics_auto_brace_delimited_body(p, U'(', U')', name);
      case U'[': return parse_physics_auto_brace_delimited_body(p, U'[', U']', name);
      case U'|': return parse_physics_auto_brace_delimited_body(p, U'|', U'|', name);
      case U'{': return parse_braced_body(p, name);
      default: return p.parse_switch_content();
    }
  }();
  if (!body.ok()) return std::move(body).error();
  return Body(std::optional<Expr>(std::move(body.value())));
}

namespace {

// One cell of a matrix body, shown unless it translates to nothing.
[[gnu::noinline]] Status matrix_cell(Parser& p, std::size_t begin, std::size_t end,
                                     std::vector<ast::HybridPart>& parts) {
  Result<Expr> cell = p.parse_text_range(begin, end);
  if (!cell.ok()) return std::move(cell).error();
  append_hybrid_line(parts, std::move(cell.value()));
  return Status();
}

}  // namespace

Status parse_physics_matrix_raw_content(Parser& p, TextSpan span, std::vector<ast::HybridPart>& parts) {
  const std::u32string_view chars = p.chars();
  std::size_t depth = 0;
  std::size_t cell_start = span.begin;
  std::size_t at = span.begin;
  while (at < span.end) {
    const char32_t c = chars[at];
    if (c == U'\\') {
      if (at + 1 < span.end && chars[at + 1] == U'\\' && depth == 0) {
        QV_RETURN_IF_ERROR(matrix_cell(p, cell_start, at, parts));
        append_hybrid_raw(parts, "\\\\");
        at += 2;
        cell_start = at;
      } else {
        at += 2;  // a command or an escaped character stays in its cell
      }
      continue;
    }
    if (c == U'{') {
      ++depth;
    } else if (c == U'}') {
      if (depth > 0) --depth;
    } else if (c == U'&' && depth == 0) {
      QV_RETURN_IF_ERROR(matrix_cell(p, cell_start, at, parts));
      append_hybrid_raw(parts, "&");
      cell_start = at + 1;
    }
    ++at;
  }
  return matrix_cell(p, cell_start, span.end, parts);
}

}  // namespace quorvix::parser
