// The argument of a switch: a braced group, or the rest of the enclosing
// group up to a cell or row separator or a \right.
#include "parser/chars.h"
#include "parser/commands/templates.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

// True when the atoms of switch content end at `i`: `&`, `}`, `\\`, or
// \right not followed by a letter.
bool switch_content_ends(std::u32string_view chars, std::size_t i) {
  if (i >= chars.size()) return true;
  if (chars[i] == U'&' || chars[i] == U'}') return true;
  if (chars[i] != U'\\') return false;
  const std::u32string_view rest = chars.substr(i + 1);
  if (rest.starts_with(U"\\")) return true;
  return rest.starts_with(U"right") && (rest.size() == 5 || !is_ascii_letter(rest[5]));
}

std::size_t after_whitespace(std::u32string_view chars, std::size_t i) {
  while (i < chars.size() && is_whitespace(chars[i])) ++i;
  return i;
}

// Adds an atom; false when it is the failure marker, which then stands alone.
[[gnu::noinline]] bool take_switch_atom(std::vector<Expr>& items, Result<Expr>& atom) {
  if (ast::is_translation_failed_marker(atom.value())) return false;
  items.push_back(std::move(atom.value()));
  return true;
}

[[gnu::noinline]] Result<Expr> switch_items(std::vector<Expr>& items) {
  return ast::make_sequence(std::move(items));
}

}  // namespace

Result<Expr> parse_switch_content(Parser& p, std::string_view /*label*/) {
  p.skip_ws();
  if (p.peek() == U'{') {
    p.next_char();
    return p.parse_sequence(U'}');
  }
  std::vector<Expr> items;
  // The separator stays unread, and so does the whitespace before it.
  while (!switch_content_ends(p.chars(), after_whitespace(p.chars(), p.pos()))) {
    Result<Expr> atom = p.parse_complete_atom();
    if (!atom.ok() || !take_switch_atom(items, atom)) return atom;
  }
  return switch_items(items);
}

}  // namespace quorvix::parser
