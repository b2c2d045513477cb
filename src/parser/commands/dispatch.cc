// Control sequences and infix commands: the places where the command table
// and the infix forms plug into the sequence loop.
//
// Current state of each hook:
//   - parse_command puts the atom's leading space in front of the command
//     that read_command dispatches. read_command holds the nesting level of
//     the command, reads the control word or control symbol after the
//     backslash and calls its handler. parse_control_word tries, in order,
//     the always-raw names, the named commands (named_commands.h), the
//     symbol tables (table_commands.cc) and finally
//     parse_unsupported_command (kept as raw TeX). parse_control_symbol
//     keeps a row break `\\` raw with what belongs to it, and every other
//     control symbol as raw TeX until the symbol rules arrive.
//   - Scripts attach in parse_atom_with_scripts (scripts.cc), operands in
//     parse_complete_atom (operands.cc).
//   - infix_command_follows and consume_infix_command recognise no infix
//     command yet, so parse_infix_rest is never reached.
#include <utility>

#include "common/internal_error.h"
#include "parser/chars.h"
#include "parser/commands/big_operators.h"
#include "parser/commands/named_commands.h"
#include "parser/helpers.h"
#include "parser/parser.h"
#include "parser/raw_fallback.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

// Kept out of line: these temporaries must not enlarge parse_command's frame,
// which stays on the stack once per nesting level.
[[gnu::noinline]] void add_leading_space(Result<Expr>& result, std::string_view leading_space) {
  if (result.ok() && !leading_space.empty())
    result.value() = with_leading_raw_space(std::move(result.value()), leading_space);
}

[[gnu::noinline]] Result<Expr> dangling_backslash() { return make_error("dangling backslash"); }

[[gnu::noinline]] Result<Expr> command_nesting_failure() { return nesting_error(); }

}  // namespace

Result<Expr> Parser::parse_command(std::string_view leading_space) {
  Result<Expr> result = read_command();
  add_leading_space(result, leading_space);
  return result;
}

Result<Expr> Parser::read_command() {
  // One level for the command and everything its handler reads.
  NestingScope scope(*this);
  if (scope.exceeded()) return command_nesting_failure();
  const std::optional<char32_t> first = peek();
  if (!first) return dangling_backslash();
  if (!is_ascii_letter(*first)) {
    ++pos_;
    return parse_control_symbol(*first);
  }
  const std::size_t start = pos_;
  while (pos_ < chars_.size() && is_ascii_letter(chars_[pos_])) ++pos_;
  return parse_control_word(encode_utf8(std::u32string_view(chars_).substr(start, pos_ - start)));
}

Result<Expr> Parser::parse_control_word(const std::string& name) {
  // Recorded macros and \let aliases are looked up first, then the delimiter
  // size words; both stay raw TeX until their handlers exist.
  if (should_force_raw_simple_command(name)) return ast::make_raw("\\" + name);
  if (const NamedCommand* named = find_named_command(name)) return named->handler(*this, *named);
  if (std::optional<Result<Expr>> symbol = parse_table_command(name)) return std::move(*symbol);
  return parse_unsupported_command(name);
}

Result<Expr> Parser::parse_control_symbol(char32_t symbol) {
  if (symbol == U'\\') return consume_visible_double_backslash_sequence();
  std::string raw = "\\";
  append_utf8(raw, symbol);
  return ast::make_raw(std::move(raw));
}

std::optional<std::string> Parser::consume_infix_command() { return std::nullopt; }

bool Parser::infix_command_follows() const { return false; }

Result<Expr> Parser::parse_infix_rest(std::vector<Expr>& /*items*/, std::optional<char32_t> /*stop*/,
                                      const std::string& /*separator_prefix*/) {
  const std::optional<std::string> infix = consume_infix_command();
  internal_failure("infix command \\" + infix.value_or("?") + " announced without an infix parser");
}

}  // namespace quorvix::parser
