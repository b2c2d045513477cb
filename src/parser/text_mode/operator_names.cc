// \operatorname{name} and \operatornamewithlimits{name}: a name of plain
// letters is an upright function name (spaces dropped, as math mode drops
// them); any other name is parsed as math in upright type. The starred
// \operatorname* and \operatornamewithlimits take their scripts as limits
// above and below, as a \mathop does. A name that cannot be read leaves the
// command raw TeX.
#include <string>
#include <utility>

#include "parser/chars.h"
#include "parser/commands/command_arguments.h"
#include "parser/text_mode/arguments.h"
#include "parser/text_mode/text_commands.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

// The name as function-name text when it is made of letters, digits and
// spaces only (at least one letter or digit); nothing otherwise.
std::optional<std::string> plain_operator_name_text(std::u32string_view text) {
  std::string name;
  for (const char32_t c : text) {
    if (is_whitespace(c)) continue;
    if (!is_ascii_alnum(c)) return std::nullopt;
    name.push_back(static_cast<char>(c));
  }
  if (name.empty()) return std::nullopt;
  return name;
}

[[gnu::noinline]] Result<Expr> operator_name_expr(Parser& p, TextSpan span, bool limits) {
  Expr name;
  if (std::optional<std::string> plain =
          plain_operator_name_text(p.chars().substr(span.begin, span.end - span.begin))) {
    name = Expr(ast::FunctionName{std::move(*plain)});
  } else {
    Result<Expr> parsed = p.parse_text_range(span.begin, span.end);
    if (!parsed.ok()) return parsed;
    if (ast::is_empty_sequence(parsed.value())) return parsed;
    name = Expr(ast::Font{ast::box(ast::collapse_single_sequence(std::move(parsed.value()))),
                          ast::FontKind::RomanText});
  }
  if (!limits) return name;
  ast::MathOp op;
  op.body = ast::box(std::move(name));
  return Expr(std::move(op));
}

}  // namespace

Result<Expr> operator_name_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  const bool star = p.consume_optional_star();
  Result<TextSpan> span = read_raw_group_span(p, "operator name");
  if (!span.ok()) {
    p.set_pos(after_name);
    return raw_command(command.name);
  }
  return operator_name_expr(p, span.value(), star || command.code == 1);
}

}  // namespace quorvix::parser
