// The TeX parser: input normalisation and the Parser object.
//
// A Parser turns one normalised TeX text into one expression tree. Parsing
// descends recursively through groups, arguments and sub-parsers; the depth
// of that descent is bounded (see NestingScope) so that the host's stack is
// never exhausted, and recovery rules that re-parse text after a failure
// consult an AttemptMemo so that no failed attempt is ever repeated.
//
// Where later construct code hooks in:
//   - parse_control_word / parse_control_symbol (commands.cc) dispatch
//     commands; the command table goes there, before the final
//     parse_unsupported_command fallback;
//   - parse_complete_atom / parse_atom_with_scripts (commands.cc) attach
//     scripts and big-operator operands;
//   - consume_infix_command / parse_infix_rest (commands.cc) handle \over and
//     its relatives inside parse_sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "ast/nesting.h"
#include "common/result.h"
#include "parser/attempt_memo.h"

namespace quorvix::parser {

// Trims the text, strips byte-order marks and $ / $$ delimiters, fixes line endings.
std::string normalize_latex(std::string_view latex);

// A user macro recorded from \def or \gdef.
struct MacroDefinition {
  std::string replacement;
  std::uint8_t parameter_count = 0;  // 0, 1 or 2
};

using MacroTable = std::map<std::string, MacroDefinition, std::less<>>;
using LetAliasTable = std::map<std::string, std::string, std::less<>>;

// The failure every nesting check returns; fatal, so no recovery rule turns
// it into raw TeX.
Error nesting_error();

class Parser {
 public:
  explicit Parser(std::string_view normalized);

  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  // Parses the whole text into one tree.
  Result<ast::Expr> parse() &&;

  // --- Sequences and atoms ------------------------------------------------

  // Items up to the end of the input or up to `stop`, which is consumed.
  Result<ast::Expr> parse_sequence(std::optional<char32_t> stop);
  // One atom without scripts.
  Result<ast::Expr> parse_atom();
  // One atom with its scripts and, for big operators, its operand.
  Result<ast::Expr> parse_complete_atom();
  // One atom with its primes, scripts and limit modifiers.
  Result<ast::Expr> parse_atom_with_scripts();
  // A literal character other than a backslash or brace.
  Result<ast::Expr> parse_literal_char(char32_t c, std::string_view leading_space);

  // --- Commands -------------------------------------------------------------

  // Called after a backslash; the result carries `leading_space` in front of
  // its first raw text.
  Result<ast::Expr> parse_command(std::string_view leading_space);
  // The command after the backslash, without the leading space.
  Result<ast::Expr> read_command();
  // A control word (letters) and a control symbol (one other character).
  Result<ast::Expr> parse_control_word(const std::string& name);
  Result<ast::Expr> parse_control_symbol(char32_t symbol);
  // An unrecognised control word kept as raw TeX.
  Result<ast::Expr> parse_unsupported_command(std::string_view name);
  // Consumes an infix command (\over and its relatives) if one comes next.
  std::optional<std::string> consume_infix_command();
  // True when an infix command comes next (nothing is consumed).
  bool infix_command_follows() const;

  // --- Reading helpers ------------------------------------------------------

  Result<ast::Expr> parse_required_group(std::string_view context);
  Result<ast::Expr> parse_required_group_or_atom(std::string_view context);
  // The text between a `{` and its matching `}`, braces counted verbatim.
  Result<std::string> parse_raw_group(std::string_view context);
  Result<std::optional<ast::Expr>> parse_optional_bracket_group();
  bool consume_optional_star();
  void skip_ws();
  std::string consume_raw_whitespace();
  // A backslash, `name` and everything up to the next whitespace, consumed.
  std::string consume_raw_primitive(std::string_view name);
  // The letters of a control word that comes next after whitespace; nothing moves.
  std::optional<std::string> peek_next_control_word() const;

  // Parses `text` with a sub-parser that shares this parser's definitions and
  // environment stacks and continues its nesting count.
  Result<ast::Expr> parse_macro_replacement(std::string_view text);

  // --- Position and lookahead -----------------------------------------------

  std::size_t pos() const { return pos_; }
  void set_pos(std::size_t pos) { pos_ = pos; }
  bool at_end() const { return pos_ >= chars_.size(); }
  std::optional<char32_t> peek(std::size_t offset = 0) const {
    if (pos_ + offset >= chars_.size()) return std::nullopt;
    return chars_[pos_ + offset];
  }
  // True when the next characters are exactly `text` (ASCII).
  bool starts_with(std::string_view text) const;
  // The next character, consumed; nothing at the end.
  std::optional<char32_t> next_char() {
    if (at_end()) return std::nullopt;
    return chars_[pos_++];
  }
  std::u32string_view chars() const { return chars_; }

  // --- State ----------------------------------------------------------------

  std::string& pending_space() { return pending_space_; }
  std::vector<std::string>& environment_stack() { return environment_stack_; }
  std::vector<std::string>& shell_stack() { return shell_stack_; }
  // Sub-parser level: 0 for the top parser, one more per parse_macro_replacement.
  unsigned depth() const { return depth_; }
  // Definition tables. They are shared with sub-parsers and copied on the
  // first change, so creating a sub-parser never copies them.
  const MacroTable& macros() const { return *macros_; }
  const LetAliasTable& let_aliases() const { return *let_aliases_; }
  void define_macro(std::string name, MacroDefinition definition);
  void remove_macro(std::string_view name);
  void set_let_alias(std::string name, std::string target);

  // --- Bounded work ---------------------------------------------------------

  // Stack use per nesting level is what bounds the nesting, so functions on
  // recursive paths keep their frames small: one named Result returned in
  // place, and tree-building temporaries in out-of-line helpers (see
  // state.cc). Check with -fstack-usage and the stack test in
  // tests/pathological.
  //
  // One level of nesting for the lifetime of the object. parse_atom holds one,
  // which covers every recursion through groups, arguments and scripts; any
  // other recursive path (a function calling itself, or calling parse_sequence
  // again without an atom in between) must hold its own scope and return
  // nesting_error() when exceeded() is true.
  class [[nodiscard]] NestingScope {
   public:
    explicit NestingScope(Parser& parser) : parser_(parser) { ++parser_.nesting_; }
    ~NestingScope() { --parser_.nesting_; }
    NestingScope(const NestingScope&) = delete;
    NestingScope& operator=(const NestingScope&) = delete;
    bool exceeded() const { return parser_.nesting_ > kMaxNestingDepth; }

   private:
    Parser& parser_;
  };

  // Current nesting level (sub-parsers continue their parent's count).
  std::size_t nesting() const { return nesting_; }

  // Runs `attempt` (returning a Result) as the attempt of `construct` at the
  // current position unless the same attempt already failed; then its stored
  // error comes back at once. Failures are recorded. The caller recovers
  // from either kind of failure in the same way (reset the position, ...).
  template <class F>
  auto attempt_once(Construct construct, F&& attempt) -> decltype(attempt()) {
    using R = decltype(attempt());
    const std::size_t start = pos_;
    const Error* known = memo_.known_failure(construct, start);
    // One named result, returned in place: this sits on recursive paths.
    R result = known != nullptr ? R(*known) : attempt();
    if (known == nullptr && !result.ok()) memo_.mark_failed(construct, start, result.error());
    return result;
  }
  const AttemptMemo& attempt_memo() const { return memo_; }

 private:
  // A sub-parser over `text` continuing this parser's state and nesting.
  std::unique_ptr<Parser> make_sub_parser(std::string_view text) const;
  // Parses a `{` group after the brace; an unclosed group becomes raw "{".
  Result<ast::Expr> parse_group_atom();
  // Consumes the infix command that comes next and parses the rest of the
  // sequence around it (step 3 of parse_sequence).
  [[gnu::noinline]] Result<ast::Expr> parse_infix_rest(std::vector<ast::Expr>& items,
                                                       std::optional<char32_t> stop,
                                                       const std::string& separator_prefix);
  // pending_space and the whitespace that follows: an atom's leading space.
  [[gnu::noinline]] std::string take_leading_space();
  // The end of a sequence: the stop character (if any) is consumed.
  [[gnu::noinline]] Result<ast::Expr> finish_sequence(std::vector<ast::Expr>& items,
                                                      std::optional<char32_t> stop);

  std::u32string chars_;
  std::size_t pos_ = 0;
  std::string pending_space_;
  std::vector<std::string> environment_stack_;
  std::vector<std::string> shell_stack_;
  std::shared_ptr<const MacroTable> macros_;
  std::shared_ptr<const LetAliasTable> let_aliases_;
  unsigned depth_ = 0;
  std::size_t nesting_ = 0;
  AttemptMemo memo_;
};

}  // namespace quorvix::parser
