// \newenvironment and \renewenvironment: kept raw TeX with their parts shown
// in order: the environment name, the [...] options, the begin body and the
// end body. A body that opens or closes an environment itself is shown piece
// by piece: its \begin{...} and \end{...} spans stay raw between the
// translated pieces of text around them.
#include <string>
#include <utility>
#include <vector>

#include "parser/chars.h"
#include "parser/definition_fallback.h"
#include "parser/helpers.h"
#include "parser/macros/macros.h"
#include "parser/parser.h"
#include "parser/text_mode/arguments.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// Looks through one-item Sequences and Style bodies.
const Expr& unwrapped(const Expr& e) {
  const Expr* cur = &e;
  for (;;) {
    if (const auto* seq = cur->get_if<ast::Sequence>(); seq && seq->items.size() == 1) {
      cur = &seq->items.front();
    } else if (const auto* style = cur->get_if<ast::Style>()) {
      cur = style->body.get();
    } else {
      return *cur;
    }
  }
}

bool is_environment_node(const Expr& e) {
  const Expr& inner = unwrapped(e);
  return inner.is<ast::Subarray>() || inner.is<ast::Matrix>() || inner.is<ast::Environment>();
}

bool holds_environment_marker(std::u32string_view text) {
  return text.find(U"\\begin{") != std::u32string_view::npos ||
         text.find(U"\\end{") != std::u32string_view::npos;
}

// The body rebuilt from its fragments: a raw "{", each plain piece parsed
// and shown, each environment span raw, and a raw "}".
[[gnu::noinline]] Result<Expr> body_from_fragments(Parser& p, TextSpan span) {
  const std::u32string_view body = p.chars().substr(span.begin, span.end - span.begin);
  ExprList items;
  items.push_back(ast::make_raw("{"));
  for (const EnvironmentDefinitionFragment& fragment : split_environment_definition_body_fragments(body)) {
    const std::size_t begin = span.begin + static_cast<std::size_t>(fragment.text.data() - body.data());
    if (fragment.environment_span) {
      items.push_back(ast::make_raw(encode_utf8(fragment.text)));
      continue;
    }
    Result<Expr> piece = p.parse_text_range(begin, begin + fragment.text.size());
    if (!piece.ok()) return piece;
    push_visible_items(items, normalize_definition_fallback_expr(std::move(piece.value())));
  }
  items.push_back(ast::make_raw("}"));
  return ast::make_sequence(std::move(items));
}

}  // namespace

// A begin or end body; `read` is false when its group cannot be read.
[[gnu::noinline]] Result<Expr> parse_environment_definition_body(Parser& p, std::string_view label,
                                                                 bool& read) {
  Result<TextSpan> span = read_raw_group_span(p, label);
  read = span.ok();
  if (!read) return Expr();
  const TextSpan s = span.value();
  Result<Expr> body = p.parse_text_range(s.begin, s.end);
  if (!holds_environment_marker(p.chars().substr(s.begin, s.end - s.begin))) {
    if (body.ok()) body.value() = normalize_definition_fallback_expr(std::move(body.value()));
    return body;
  }
  if (body.ok() && is_environment_node(body.value())) return ast::make_translation_failed();
  return body_from_fragments(p, s);
}

Result<Expr> environment_definition_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<TextSpan> name = read_raw_group_span(p, definition_part_label(command.name, "name"));
  if (!name.ok()) {
    if (name.error().fatal) return std::move(name).error();
    p.set_pos(after_name);
    return raw_command_expr(command.name);
  }
  ExprList parts;
  Result<Expr> result = p.parse_text_range(name.value().begin, name.value().end);
  if (!result.ok()) return result;
  parts.push_back(std::move(result.value()));
  for (int i = 0; i < 2; ++i) {
    Result<std::optional<Expr>> option = p.parse_optional_bracket_group();
    if (!option.ok()) return std::move(option).error();
    if (!option.value()) break;
    parts.push_back(ast::make_char(U'['));
    parts.push_back(std::move(*option.value()));
    parts.push_back(ast::make_char(U']'));
  }
  for (const std::string_view which : {std::string_view("begin"), std::string_view("end")}) {
    bool read = false;
    result = parse_environment_definition_body(p, definition_part_label(command.name, which), read);
    if (!read) {
      p.set_pos(after_name);
      return raw_command_expr(command.name);
    }
    if (!result.ok()) return result;
    if (ast::is_translation_failed_marker(result.value())) {
      p.set_pos(p.chars().size());
      return result;
    }
    parts.push_back(std::move(result.value()));
  }
  return raw_prefix_sequence(command.name, std::move(parts));
}

}  // namespace quorvix::parser
