// Control sequences and infix commands: the places where the command table
// and the infix forms plug into the sequence loop.
//
// Current state of each hook:
//   - parse_command puts the atom's leading space in front of the command
//     that read_command dispatches. read_command holds the nesting level of
//     the command, reads the control word or control symbol after the
//     backslash and calls its handler. parse_control_word tries, in order,
//     the recorded macros and \let aliases (macros/), the delimiter size
//     words (\big ...), the always-raw names, the named commands
//     (named_commands.h), the symbol tables (table_commands.cc) and finally
//     parse_unsupported_command (kept as raw TeX). parse_control_symbol
//     gives the spacing, escaped and empty control symbols their trees,
//     keeps a row break `\\` raw with what belongs to it and the others
//     (\( ...) as raw TeX.
//   - Scripts attach in parse_atom_with_scripts (scripts.cc), operands in
//     parse_complete_atom (operands.cc).
//   - The infix commands (\over and its relatives) are recognised and
//     combined in infix.cc.
#include <utility>

#include "parser/chars.h"
#include "parser/commands/big_operators.h"
#include "parser/commands/left_right_delimiter.h"
#include "parser/commands/named_commands.h"
#include "parser/helpers.h"
#include "parser/macros/macros.h"
#include "parser/parser.h"
#include "parser/raw_fallback.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

// Kept out of line: these temporaries must not enlarge parse_command's frame,
// which stays on the stack once per nesting level.
[[gnu::noinline]] void add_leading_space(Result<Expr>& result, std::string_view leading_space) {
  if (result.ok()) add_leading_raw_space(result.value(), leading_space);
}

[[gnu::noinline]] Result<Expr> dangling_backslash() { return make_error("dangling backslash"); }

[[gnu::noinline]] Result<Expr> command_nesting_failure() { return nesting_error(); }

[[gnu::noinline]] Result<Expr> command_work_failure() { return work_limit_error(); }

// True for a non-empty run of ASCII letters.
bool is_control_word_name(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text)
    if (!is_ascii_letter(static_cast<unsigned char>(c))) return false;
  return true;
}

// The printable characters that a backslash merely escapes (\$, \{, \[,
// \^ ...): from `$` to `{`, except those that mean more after a backslash
// (\\, \(, \), \.) and the digits.
bool escaped_char_stands_for_itself(char32_t c) {
  if (c < U'$' || c > U'{') return false;
  if (is_ascii_digit(c)) return false;
  return c != U'\\' && c != U'(' && c != U')' && c != U'.';
}

// The tree of a control symbol, in the order its rules are tried. A tree
// without raw text drops the leading space that parse_command applies.
[[gnu::noinline]] Result<Expr> control_symbol_expr(char32_t symbol) {
  switch (symbol) {
    case U'>': return Expr();  // nothing: an empty Sequence
    case U',': return Expr(ast::Space{8});
    case U':': return Expr(ast::Space{2});
    case U';': return Expr(ast::Space{4});
    case U'!': return Expr(ast::Space{1});
    case U'&': return ast::make_raw("\\&");
    case U'#':
    case U'%':
    case U'_': return ast::make_char(symbol);
    case U'/':
    case U'<':
    case U']': return Expr();
    case U'|': return ast::make_char(U'\u2016');
    default: break;
  }
  if (escaped_char_stands_for_itself(symbol)) return ast::make_char(symbol);
  std::string raw = "\\";
  append_utf8(raw, symbol);
  return ast::make_raw(std::move(raw));
}

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
  if (scope.work_spent()) return command_work_failure();
  const std::optional<char32_t> first = peek();
  if (!first) return dangling_backslash();
  if (!is_ascii_letter(*first)) {
    ++pos_;
    return parse_control_symbol(*first);
  }
  const std::size_t start = pos_;
  while (pos_ < chars_.size() && is_ascii_letter(chars_[pos_])) ++pos_;
  // The letters are ASCII, one byte each.
  std::string name(pos_ - start, '\0');
  for (std::size_t i = 0; i < name.size(); ++i) name[i] = static_cast<char>(chars_[start + i]);
  return parse_control_word(name);
}

Result<Expr> Parser::parse_control_word(const std::string& name) {
  // Recorded macros first (except for the definition commands themselves),
  // then \let aliases, then the built-in commands.
  if (name != "def" && name != "gdef") {
    if (const MacroDefinition* macro = find_macro(name))
      return parse_macro_use(*this, name, macro->parameter_count);
  }
  if (const std::string* alias = find_let_alias(name)) return parse_let_alias_use(*alias);
  return parse_builtin_control_word(name, /*through_alias=*/false);
}

Result<Expr> Parser::parse_let_alias_use(const std::string& target) {
  // A control word continues the dispatch with that word, past the
  // always-raw names (\let\v\lvert makes \v a bar); anything else is parsed
  // on its own.
  if (target.size() < 2 || target[0] != '\\' || !is_control_word_name(std::string_view(target).substr(1)))
    return parse_macro_replacement(target);
  return parse_builtin_control_word(target.substr(1), /*through_alias=*/true);
}

Result<Expr> Parser::parse_builtin_control_word(const std::string& name, bool through_alias) {
  if (ignored_delimiter_size_command(name)) return parse_delimiter_size_command(*this, name);
  // Hashed once for every table below.
  const HashedName key(name);
  if (!through_alias && should_force_raw_simple_command(key)) return raw_command_expr(name);
  if (const NamedCommand* named = find_named_command(key)) return named->handler(*this, *named);
  if (std::optional<Result<Expr>> symbol = parse_table_command(name, key)) return std::move(*symbol);
  return parse_unsupported_command(name);
}

Result<Expr> Parser::parse_control_symbol(char32_t symbol) {
  if (symbol == U'\\') return consume_visible_double_backslash_sequence();
  return control_symbol_expr(symbol);
}

}  // namespace quorvix::parser
