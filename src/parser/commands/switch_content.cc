// The content of a switch: what a font or style switch, or a command kept
// raw after size words, applies to. A `{` right after the switch delimits
// it; otherwise it runs to the end of the enclosing group.
#include <string>
#include <utility>
#include <vector>

#include "parser/chars.h"
#include "parser/commands/command_arguments.h"
#include "parser/commands/switch_content.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

using ast::is_empty_sequence;

namespace {

bool control_word_at(std::u32string_view rest, std::u32string_view word) {
  return rest.substr(0, word.size()) == word &&
         (rest.size() == word.size() || !is_ascii_letter(rest[word.size()]));
}

[[gnu::noinline]] Result<Expr> switch_items(ExprList& items) { return ast::make_sequence(std::move(items)); }

}  // namespace

bool switch_content_ends_at(const Parser& p, std::size_t at) {
  const std::u32string_view chars = p.chars();
  if (at >= chars.size()) return true;
  const std::u32string_view rest = chars.substr(at);
  switch (rest.front()) {
    case U'&':
    case U'}': return true;
    case U'\\': return rest.substr(0, 2) == U"\\\\" || control_word_at(rest, U"\\right");
    default: return false;
  }
}

Result<Expr> Parser::parse_switch_content() {
  skip_ws();
  if (peek() == U'{') return parse_brace_group_once(*this);
  return parse_switch_atoms();
}

Result<Expr> Parser::parse_switch_atoms() {
  ExprList items;
  for (;;) {
    const std::size_t before_ws = pos_;
    std::string ws = consume_raw_whitespace();
    if (switch_content_ends_at(*this, pos_)) {
      // The whitespace stays in front of what ends the content.
      pos_ = before_ws;
      return switch_items(items);
    }
    Result<Expr> atom = parse_complete_atom();
    if (!take_body_atom(items, atom, ws)) return atom;
  }
}

}  // namespace quorvix::parser
