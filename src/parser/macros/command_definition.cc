// \newcommand, \renewcommand and \providecommand: kept raw TeX with their
// parts shown in order (the defined name, the [...] options between their
// brackets and the replacement). They are not recorded: a later use of the
// defined name takes the ordinary dispatch. A replacement that is not a
// braced group is left to the sequence, which appends the atom that follows
// to this definition (see the sequence loop).
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

// The defined name for display: parsed as math, except that a backslash and
// a non-letter keep the backslash raw in front of the parse of the rest.
[[gnu::noinline]] Result<Expr> defined_name_expr(Parser& p, TextSpan span) {
  const std::u32string_view text = p.chars().substr(span.begin, span.end - span.begin);
  if (text.size() >= 2 && text[0] == U'\\' && !is_ascii_letter(text[1])) {
    Result<Expr> rest = p.parse_text_range(span.begin + 1, span.end);
    if (!rest.ok()) return rest;
    ExprList items;
    items.push_back(ast::make_raw("\\"));
    push_visible_items(items, std::move(rest.value()));
    return ast::make_sequence(std::move(items));
  }
  return p.parse_text_range(span.begin, span.end);
}

// [...] options shown between their brackets; false with a failure in
// `failure`.
[[gnu::noinline]] bool show_options(Parser& p, ExprList& parts, std::size_t most, Result<Expr>& failure) {
  for (std::size_t i = 0; i < most; ++i) {
    Result<std::optional<Expr>> option = p.parse_optional_bracket_group();
    if (!option.ok()) {
      failure = std::move(option).error();
      return false;
    }
    if (!option.value()) return true;
    parts.push_back(ast::make_char(U'['));
    parts.push_back(std::move(*option.value()));
    parts.push_back(ast::make_char(U']'));
  }
  return true;
}

}  // namespace

Result<Expr> command_definition_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<TextSpan> name = read_raw_group_span(p, definition_part_label(command.name, "name"));
  if (!name.ok()) {
    if (name.error().fatal) return std::move(name).error();
    p.set_pos(after_name);
    return raw_command_expr(command.name);
  }
  ExprList parts;
  Result<Expr> result = defined_name_expr(p, name.value());
  if (!result.ok()) return result;
  parts.push_back(std::move(result.value()));
  if (!show_options(p, parts, 2, result)) return result;
  const std::size_t before_replacement = p.pos();
  Result<TextSpan> replacement = read_raw_group_span(p, definition_part_label(command.name, "replacement"));
  if (!replacement.ok()) {
    p.set_pos(before_replacement);
  } else {
    result = p.parse_text_range(replacement.value().begin, replacement.value().end);
    if (!result.ok()) return result;
    parts.push_back(normalize_definition_fallback_expr(std::move(result.value())));
  }
  return raw_prefix_sequence(command.name, std::move(parts));
}

std::string definition_part_label(std::string_view name, std::string_view what) {
  std::string label(name);
  label += ' ';
  label += what;
  return label;
}

}  // namespace quorvix::parser
