// Control sequences, atoms with scripts and infix commands: the places where
// the command table, the script parser and the infix forms plug into the
// sequence loop.
//
// Current state of each hook:
//   - parse_command reads the control word or control symbol after the
//     backslash. Every control word still goes to parse_unsupported_command
//     (kept as raw TeX); the command table is consulted here, before that
//     fallback, once it exists. Control symbols are kept as raw TeX.
//   - parse_complete_atom and parse_atom_with_scripts are one plain atom:
//     scripts, primes, limit modifiers and big-operator operands attach here.
//     A recursion added here that does not pass through parse_atom (an
//     operand read by parse_complete_atom) holds a Parser::NestingScope.
//   - consume_infix_command recognises no infix command yet, so
//     parse_infix_rest is never reached.
#include <utility>

#include "common/internal_error.h"
#include "parser/chars.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

Result<Expr> Parser::parse_command(std::string_view leading_space) {
  const std::optional<char32_t> first = peek();
  if (!first) return make_error("dangling backslash");

  if (!is_ascii_letter(*first)) {
    ++pos_;
    std::string raw = "\\";
    append_utf8(raw, *first);
    return with_leading_raw_space(ast::make_raw(std::move(raw)), leading_space);
  }

  const std::size_t start = pos_;
  while (pos_ < chars_.size() && is_ascii_letter(chars_[pos_])) ++pos_;
  const std::string name = encode_utf8(std::u32string_view(chars_).substr(start, pos_ - start));

  QV_ASSIGN_OR_RETURN(Expr result, parse_unsupported_command(name));
  return with_leading_raw_space(std::move(result), leading_space);
}

Result<Expr> Parser::parse_complete_atom() { return parse_atom_with_scripts(); }

Result<Expr> Parser::parse_atom_with_scripts() { return parse_atom(); }

std::optional<std::string> Parser::consume_infix_command() { return std::nullopt; }

Result<Expr> Parser::parse_infix_rest(std::string infix, std::vector<Expr> /*items*/,
                                      std::optional<char32_t> /*stop*/, std::string /*separator_prefix*/) {
  internal_failure("infix command \\" + infix + " consumed without an infix parser");
}

}  // namespace quorvix::parser
