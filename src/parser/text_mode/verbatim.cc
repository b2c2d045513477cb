// \verb, \hspace and \char: commands whose argument is not an ordinary
// group. \verb shows its delimited text parsed as math behind the raw
// command; \hspace drops its width; \char"HEX keeps its prefix raw and shows
// the digits.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "parser/chars.h"
#include "parser/commands/command_arguments.h"
#include "parser/helpers.h"
#include "parser/text_mode/arguments.h"
#include "parser/text_mode/text_commands.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

bool is_hex_digit(char32_t c) {
  return (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'f') || (c >= U'A' && c <= U'F');
}

std::uint32_t hex_value(char32_t c) {
  if (c <= U'9') return static_cast<std::uint32_t>(c - U'0');
  if (c >= U'a') return static_cast<std::uint32_t>(c - U'a' + 10);
  return static_cast<std::uint32_t>(c - U'A' + 10);
}

[[gnu::noinline]] void finish_verb(Result<Expr>& parsed) {
  if (parsed.ok()) parsed.value() = raw_prefix_expr("verb", std::move(parsed.value()));
}

[[gnu::noinline]] Result<Expr> char_code_expr(Parser& p, std::size_t digits_begin, std::size_t digits_end) {
  std::uint64_t value = 0;
  for (std::size_t i = digits_begin; i < digits_end; ++i) {
    value = value * 16 + hex_value(p.chars()[i]);
    if (value > UINT32_MAX) {
      return make_error("invalid \\char hex code " +
                        encode_utf8(p.chars().substr(digits_begin, digits_end - digits_begin)) +
                        ": number too large to fit in target type");
    }
  }
  Result<Expr> digits = p.parse_text_range(digits_begin, digits_end);
  if (!digits.ok()) return digits;
  ExprList parts;
  parts.push_back(std::move(digits.value()));
  return raw_prefix_sequence_with_raw("\\char\"", std::move(parts));
}

}  // namespace

Result<Expr> verb_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  const std::optional<char32_t> delimiter = p.peek();
  if (!delimiter || is_whitespace(*delimiter)) return raw_command(command.name);
  const std::u32string_view chars = p.chars();
  std::size_t begin = after_name;  // the parsed text, delimiters included
  std::size_t end = 0;
  if (*delimiter == U'{') {
    const std::optional<std::size_t> close = p.closing_brace(after_name);
    if (!close) return raw_command(command.name);
    begin = after_name + 1;
    end = *close;
    p.set_pos(*close + 1);
  } else {
    const std::size_t close = chars.find(*delimiter, after_name + 1);
    if (close == std::u32string_view::npos) return raw_command(command.name);
    end = close + 1;
    p.set_pos(end);
  }
  Result<Expr> parsed = p.parse_text_range(begin, end);
  finish_verb(parsed);
  return parsed;
}

Result<Expr> hspace_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  bool star = p.consume_optional_star();
  if (read_raw_group_span(p, "hspace width").ok()) return Expr();
  p.set_pos(after_name);
  star = p.consume_optional_star();
  const std::size_t after_star = p.pos();
  Result<Expr> width = parse_recoverable_group_or_atom(p, "hspace width");
  if (width.ok()) return Expr();  // the space is dropped
  if (width.error().fatal) return width;
  // The star, when written, belongs to the raw command.
  p.set_pos(star ? after_star : after_name);
  return raw_command(star ? "hspace*" : command.name);
}

Result<Expr> char_code_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  p.skip_ws();
  const std::size_t quote = p.pos();
  std::size_t end = quote + 1;
  const std::u32string_view chars = p.chars();
  while (end < chars.size() && is_hex_digit(chars[end])) ++end;
  if (p.peek() != U'"' || end == quote + 1) {
    p.set_pos(after_name);
    return p.parse_unsupported_command(command.name);
  }
  p.set_pos(end);
  return char_code_expr(p, quote + 1, end);
}

}  // namespace quorvix::parser
