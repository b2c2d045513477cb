// \text{...}: the argument is read as raw text and scanned in text mode.
// When it holds inline math ($...$), letters and digits written directly
// after the closing brace belong to the same word (\text{$n$}th) and join
// the text as a tail. An argument that cannot be read as raw text is tried
// as an ordinary argument in upright type, and otherwise the command stays
// raw TeX.
#include <string>
#include <utility>

#include "parser/commands/command_arguments.h"
#include "parser/text_mode/arguments.h"
#include "parser/text_mode/content.h"
#include "parser/text_mode/text_commands.h"
#include "parser/text_mode/text_tail.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

[[gnu::noinline]] void finish_fallback(Parser& p, Result<Expr>& argument, std::size_t after_name) {
  if (argument.ok()) {
    argument.value() = Expr(ast::Font{ast::box(std::move(argument.value())), ast::FontKind::RomanText});
  } else {
    recover_as_raw_command(p, argument, after_name, "text");
  }
}

[[gnu::noinline]] Result<Expr> scan_text_argument(Parser& p, TextSpan span) {
  Result<Expr> content = parse_content(p, p.chars().substr(span.begin, span.end - span.begin));
  if (content.ok() && span_contains(p, span, U'$')) {
    std::string tail = consume_adjacent_text_tail(p);
    if (!tail.empty())
      content.value() = append_visible_text_tail(std::move(content.value()), std::move(tail));
  }
  return content;
}

}  // namespace

Result<Expr> text_command(Parser& p, const NamedCommand& /*command*/) {
  const std::size_t after_name = p.pos();
  Result<TextSpan> span = read_raw_group_span(p, "text content");
  if (span.ok()) return scan_text_argument(p, span.value());
  p.set_pos(after_name);
  Result<Expr> argument = parse_recoverable_group_or_atom(p, "text content");
  finish_fallback(p, argument, after_name);
  return argument;
}

}  // namespace quorvix::parser
