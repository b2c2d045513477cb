// A row break `\\` outside any environment has no row to end: it stays raw
// TeX, together with the whitespace after it or the one punctuation or
// brace character that belongs to it (\\( , \\{ ...).
#include <string>

#include "parser/chars.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

bool joins_row_break(char32_t c) {
  switch (c) {
    case U'(':
    case U')':
    case U'.':
    case U'/':
    case U'<':
    case U'>':
    case U'{':
    case U'}': return true;
    default: return false;
  }
}

}  // namespace

Expr Parser::consume_visible_double_backslash_sequence() {
  std::string raw = "\\\\";
  const std::optional<char32_t> next = peek();
  if (next && (is_whitespace(*next) || *next == U'[' || *next == U'|')) {
    skip_ws();
  } else if (next && joins_row_break(*next)) {
    ++pos_;
    append_utf8(raw, *next);
  }
  return ast::make_raw(std::move(raw));
}

}  // namespace quorvix::parser
