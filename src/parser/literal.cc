// Literal characters (parse_literal_char).
#include "parser/literal.h"

#include <utility>

#include "common/internal_error.h"
#include "parser/chars.h"
#include "parser/helpers.h"
#include "parser/parser.h"
#include "quorvix_ansi/encode.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// One piece, or several as a Sequence.
Expr single_or_sequence(ExprList pieces) {
  if (pieces.size() == 1) return std::move(pieces.front());
  return ast::make_sequence(std::move(pieces));
}

// Characters replaced by fixed fragments: a raw text (which receives the
// leading space) and possibly a character after it.
struct FixedFragments {
  char32_t input;
  std::string_view raw;  // UTF-8
  char32_t visible;      // 0 when absent
};

constexpr FixedFragments kFixedFragments[] = {
    {U'"', "\"", 0},
    {U'#', "#", 0},
    {U'&', "&", 0},
    {U'\u2295', "\u00A8n", 0},
    {U'\u2252', "\u00A8", U'P'},
    {U'\u2266', "\u00A8", U'Q'},
    {U'\u2267', "\u00A8", U'R'},
};

}  // namespace

ExprList split_encoded_literal_bytes(std::string_view bytes) {
  ExprList pieces;
  std::string run;
  auto flush = [&] {
    if (run.empty()) return;
    pieces.push_back(ast::make_raw(std::move(run)));
    run.clear();
  };
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b >= 0x80) {
      append_utf8(run, b);
    } else {
      flush();
      pieces.push_back(ast::make_char(b));
    }
  }
  flush();
  return pieces;
}

Result<Expr> Parser::parse_literal_char(char32_t c, std::string_view leading_space) {
  for (const FixedFragments& f : kFixedFragments) {
    if (f.input != c) continue;
    std::string raw(leading_space);
    raw += f.raw;
    if (f.visible == 0) return ast::make_raw(std::move(raw));
    ExprList pieces;
    pieces.push_back(ast::make_raw(std::move(raw)));
    pieces.push_back(ast::make_char(f.visible));
    return ast::make_sequence(std::move(pieces));
  }
  if (c < 0x80) return ast::make_char(c);

  std::string utf8;
  append_utf8(utf8, c);
  if (encoding_.is_utf8()) {
    // Every byte of the character's own UTF-8 is at least 0x80: the pieces
    // are one raw text, with the leading space in front.
    std::string raw(leading_space);
    for (const char b : utf8) append_utf8(raw, static_cast<unsigned char>(b));
    return ast::make_raw(std::move(raw));
  }
  QV_ASSIGN_OR_RETURN(std::string encoded, quorvix_ansi::encode_quorvix_text(utf8, encoding_));
  if (encoded.find_first_not_of('?') == std::string::npos) {
    // Not representable: one question mark per encoded byte.
    if (encoded.empty()) internal_failure("source encoder returned no bytes for a character");
    return single_or_sequence(ExprList(encoded.size(), ast::make_char(U'?')));
  }
  return with_leading_raw_space(single_or_sequence(split_encoded_literal_bytes(encoded)), leading_space);
}

}  // namespace quorvix::parser
