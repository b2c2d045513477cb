// Reading helpers shared by the command handlers: whitespace, groups,
// brackets, stars, verbatim primitives and control-word lookahead.
#include "parser/chars.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

// Out of line: the group readers sit on recursive paths, and the message
// temporaries would otherwise widen their frames.
[[gnu::noinline]] Error context_error(std::string_view prefix, std::string_view context) {
  std::string message(prefix);
  message += context;
  return make_error(std::move(message));
}

}  // namespace

void Parser::skip_ws() {
  while (pos_ < chars_.size() && is_whitespace(chars_[pos_])) ++pos_;
}

std::string Parser::consume_whitespace_run() {
  const std::size_t start = pos_;
  skip_ws();
  return encode_utf8(std::u32string_view(chars_).substr(start, pos_ - start));
}

Result<Expr> Parser::parse_required_group(std::string_view context) {
  skip_ws();
  if (peek() != U'{') return context_error("expected braced ", context);
  ++pos_;
  return parse_sequence(U'}');
}

Result<Expr> Parser::parse_required_group_or_atom(std::string_view context) {
  skip_ws();
  if (at_end()) return context_error("expected ", context);
  if (peek() == U'{') {
    ++pos_;
    return parse_sequence(U'}');
  }
  return parse_atom_with_scripts();
}

Result<std::string> Parser::parse_raw_group(std::string_view context) {
  skip_ws();
  if (peek() != U'{') return context_error("expected braced ", context);
  const std::size_t start = ++pos_;
  std::size_t depth = 1;
  for (; pos_ < chars_.size(); ++pos_) {
    if (chars_[pos_] == U'{') {
      ++depth;
    } else if (chars_[pos_] == U'}' && --depth == 0) {
      std::string inner = encode_utf8(std::u32string_view(chars_).substr(start, pos_ - start));
      ++pos_;
      return inner;
    }
  }
  return context_error("unterminated braced ", context);
}

Result<std::optional<Expr>> Parser::parse_optional_bracket_group() {
  skip_ws();
  if (peek() != U'[') return std::optional<Expr>();
  ++pos_;
  QV_ASSIGN_OR_RETURN(Expr content, parse_sequence(U']'));
  return std::optional<Expr>(std::move(content));
}

bool Parser::consume_optional_star() {
  skip_ws();
  if (peek() != U'*') return false;
  ++pos_;
  return true;
}

std::string Parser::consume_raw_primitive(std::string_view name) {
  std::string raw = "\\";
  raw += name;
  const std::size_t start = pos_;
  while (pos_ < chars_.size() && !is_whitespace(chars_[pos_])) ++pos_;
  raw += encode_utf8(std::u32string_view(chars_).substr(start, pos_ - start));
  return raw;
}

std::optional<std::string> Parser::peek_next_control_word() const {
  std::size_t i = pos_;
  while (i < chars_.size() && is_whitespace(chars_[i])) ++i;
  if (i >= chars_.size() || chars_[i] != U'\\') return std::nullopt;
  const std::size_t start = ++i;
  while (i < chars_.size() && is_ascii_letter(chars_[i])) ++i;
  if (i == start) return std::nullopt;
  return encode_utf8(std::u32string_view(chars_).substr(start, i - start));
}

}  // namespace quorvix::parser
