// The TeX parser: input normalisation and the Parser object.
//
// A Parser turns one normalised TeX text into one expression tree. Parsing
// descends recursively through groups, arguments and sub-parsers; the depth
// of that descent is bounded (see NestingScope) so that the host's stack is
// never exhausted, and recovery rules that re-parse text after a failure go
// through attempt_once, which undoes the failed attempt (see Checkpoint) and
// never runs the same failed attempt twice.
//
// Where later construct code hooks in:
//   - read_command (commands/dispatch.cc) is the command dispatcher: it holds
//     the nesting level of every command handler, reads the name and calls
//     parse_control_word / parse_control_symbol, where the command table
//     goes, before the final parse_unsupported_command fallback;
//   - parse_atom_with_scripts (commands/scripts.cc) attaches scripts, primes
//     and limit modifiers, parse_complete_atom (commands/operands.cc) gives
//     big operators and integrals their operand;
//   - consume_infix_command / parse_infix_rest (commands/infix.cc) handle
//     \over and its relatives inside parse_sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "ast/nesting.h"
#include "common/result.h"
#include "common/sorted_table.h"
#include "common/utf8.h"
#include "parser/attempt_memo.h"
#include "parser/brace_matches.h"
#include "parser/definitions.h"
#include "parser/delimiter_closers.h"
#include "parser/environment_pairs.h"
#include "parser/environment_stack.h"
#include "parser/word_positions.h"
#include "quorvix_ansi/encode.h"

namespace quorvix::parser {

// Trims the text, strips byte-order marks and $ / $$ delimiters, fixes line endings.
std::string normalize_latex(std::string_view latex);
// The same, appended to `out` (whose memory is reused), which is returned.
std::string normalize_latex(std::string_view latex, std::string out);

// The infix commands of plain TeX, as recognised between the atoms of a
// sequence: \over, \atop, \choose, \brace, \brack and \above (whose
// dimension stays in the input).
enum class InfixCommand : std::uint8_t { Over, Above, Atop, Choose, Brace, Brack };

// The failure every nesting check returns; fatal, so no recovery rule turns
// it into raw TeX.
Error nesting_error();

// The failure of a parse that has used up its work allowance (see
// Parser::NestingScope); fatal as well.
Error work_limit_error();
inline constexpr std::string_view kTooMuchWork = "expression takes too much work to parse";

// How the \begin and \end of an environment kept as raw TeX are written.
enum class EnvironmentShellMode : std::uint8_t {
  SpelledName = 0,  // raw \begin, then the name's characters shown
  BracedRaw = 1,    // raw \begin{name}
  CommandName = 2,  // a name that is a command: raw \begin directly followed by it
};

class Parser {
 public:
  // A parser whose non-ASCII literals are checked against `encoding`, the
  // one the conversion chose.
  Parser(std::string_view normalized, quorvix_ansi::SourceEncoding encoding);
  // The same with the encoding the environment names at this moment.
  explicit Parser(std::string_view normalized);

  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;
  // Keeps the memory of the decoded text for the thread's next parser.
  ~Parser();

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
  // The argument after `_` or `^`: a `{` group (a one-item group gives its
  // item) or one atom without scripts.
  Result<ast::Expr> parse_script_arg();
  // True when the next input ends a big operator: no operand follows.
  bool big_op_operand_stops() const;
  // A literal character other than a backslash or brace.
  Result<ast::Expr> parse_literal_char(char32_t c, std::string_view leading_space);

  // --- Commands -------------------------------------------------------------

  // Called after a backslash; the result carries `leading_space` in front of
  // its first raw text.
  Result<ast::Expr> parse_command(std::string_view leading_space);
  // The command dispatcher: reads the command after the backslash and runs
  // its handler (without the leading space). The handler runs under one
  // nesting level taken here, so a handler that reads further commands or
  // arguments is bounded without a scope of its own.
  Result<ast::Expr> read_command();
  // Consumes an infix command (\over and its relatives) if one comes next.
  std::optional<InfixCommand> consume_infix_command();
  // The infix command that comes next, if any (nothing is consumed).
  std::optional<InfixCommand> peek_infix_command() const;
  // True when an infix command comes next (nothing is consumed).
  bool infix_command_follows() const { return peek_infix_command().has_value(); }

  // --- Raw TeX fallbacks ----------------------------------------------------

  // An unrecognised control word kept as raw TeX, with what it visibly
  // carries: a delimiter after \right, size words, `[...]` options shown
  // as characters, and after size words the rest of the group.
  Result<ast::Expr> parse_unsupported_command(std::string_view name);
  // The rest of the group a switch (\bf, \displaystyle ...) applies to: a
  // `{` group, or the atoms up to the end, `&`, `}`, \right or `\\`.
  Result<ast::Expr> parse_switch_content();
  // An environment the parser does not translate, after \begin{name}: its
  // body is parsed atom by atom and kept between raw \begin and \end pieces.
  Result<ast::Expr> parse_unsupported_environment_with_shell(const std::string& name,
                                                             EnvironmentShellMode mode);
  // A command whose braced argument cannot be shown (\eqref{...}): with a
  // group, the failure marker; without one, the command as raw TeX.
  Result<ast::Expr> parse_translation_failed_group_command(std::string_view name);
  // A command whose argument is read and dropped (\label): nothing remains.
  Result<ast::Expr> parse_ignored_group_command();
  // A row break outside any environment, after the `\\`: kept as raw TeX
  // with the character or whitespace that belongs to it.
  ast::Expr consume_visible_double_backslash_sequence();

  // --- Reading helpers ------------------------------------------------------

  Result<ast::Expr> parse_required_group(std::string_view context);
  Result<ast::Expr> parse_required_group_or_atom(std::string_view context);
  // The text between a `{` and its matching `}`, braces counted verbatim.
  Result<std::string> parse_raw_group(std::string_view context);
  Result<std::optional<ast::Expr>> parse_optional_bracket_group();
  bool consume_optional_star();
  void skip_ws();
  // The whitespace that comes next, consumed. Inline for the common case of
  // none.
  std::string consume_raw_whitespace() {
    if (at_end() || !is_white_space(chars_[pos_])) return {};
    return consume_whitespace_run();
  }
  // A backslash, `name` and everything up to the next whitespace, consumed.
  std::string consume_raw_primitive(std::string_view name);
  // The letters of a control word that comes next after whitespace; nothing moves.
  std::optional<std::string> peek_next_control_word() const;
  // The position of the `}` that closes the `{` at `open` when braces are
  // counted verbatim (as parse_raw_group reads a group); nothing when unclosed.
  std::optional<std::size_t> closing_brace(std::size_t open) { return brace_matches_.closing(chars_, open); }
  // The position of the next `\of` (not followed by a letter) at or after
  // `from`; nothing when none follows.
  // The position of the `)`, `]` or `|` that closes the delimited body
  // opened at `open` (see DelimiterClosers); nothing when unclosed.
  std::optional<std::size_t> delimiter_closer(std::size_t open) {
    return delimiter_closers_.closer(chars_, open);
  }
  std::optional<std::size_t> next_of_primitive(std::size_t from) { return of_positions_.next(chars_, from); }
  // True when the \begin{name} read just before `after_begin` has a later
  // \end{name} to pair with (see EnvironmentPairs).
  bool environment_has_end(std::size_t after_begin) {
    return environment_pairs_.has_end(chars_, after_begin);
  }

  // Parses `text` with a sub-parser that reads this parser's definitions and
  // environment stacks (recording its own on top, for its lifetime only) and
  // continues its nesting count. When `hidden_macro` is not empty, that
  // macro is undefined for the sub-parser (a definition's own replacement
  // does not refer to itself).
  Result<ast::Expr> parse_macro_replacement(std::string_view text, std::string_view hidden_macro = {});
  // The same for the characters [begin, end) of this parser's own text: a
  // sub-parser that sees only them, reading them in place (nested ranges
  // copy nothing). The position of this parser does not move. `hidden_macro`
  // as for parse_macro_replacement.
  Result<ast::Expr> parse_text_range(std::size_t begin, std::size_t end, std::string_view hidden_macro = {});

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
  // Open environments, and the names kept while an unsupported environment
  // is copied as raw TeX.
  EnvironmentStack& environment_stack() { return environment_stack_; }
  EnvironmentStack& shell_stack() { return shell_stack_; }
  // The environment copied as raw TeX whose \end an inner one consumed: the
  // count of this parser's own shell names below it, or kNoClosedShell. Every
  // shell from the inner one outwards to it stops there.
  static constexpr std::size_t kNoClosedShell = static_cast<std::size_t>(-1);
  std::size_t closed_shell() const { return closed_shell_; }
  void set_closed_shell(std::size_t level) { closed_shell_ = level; }
  // Sub-parser level: 0 for the top parser, one more per parse_macro_replacement.
  unsigned depth() const { return depth_; }
  // The encoding non-ASCII literals are checked against.
  const quorvix_ansi::SourceEncoding& source_encoding() const { return encoding_; }

  // Definitions visible here: this parser's own and those of the parsers it
  // was made from (null when not defined).
  // Most parses define nothing; then no control word needs a lookup.
  const MacroDefinition* find_macro(std::string_view name) const {
    return definitions_.any_visible() ? definitions_.find_macro(name) : nullptr;
  }
  const std::string* find_let_alias(std::string_view name) const {
    return definitions_.any_visible() ? definitions_.find_let_alias(name) : nullptr;
  }
  // Records a definition for the rest of this parser's input.
  void define_macro(std::string name, MacroDefinition definition) {
    definitions_.define_macro(std::move(name), std::move(definition));
  }
  void remove_macro(std::string_view name) { definitions_.hide_macro(name); }
  void set_let_alias(std::string name, std::string target) {
    definitions_.set_let_alias(std::move(name), std::move(target));
  }

  // --- Undoing an attempt ---------------------------------------------------

  // What a recovery resets after a failed attempt: the position, the pending
  // space (whitespace the attempt took over or left behind belongs to text
  // that is read again) and the environments the attempt left open.
  // Definitions recorded on the way stay, and so does the memo of failures.
  struct Checkpoint {
    std::size_t pos = 0;
    std::string pending_space;
    std::size_t environments = 0;
    std::size_t shells = 0;
    std::size_t closed_shell = kNoClosedShell;
  };
  Checkpoint save() const {
    return Checkpoint{pos_, pending_space_, environment_stack_.own_size(), shell_stack_.own_size(),
                      closed_shell_};
  }
  void restore(const Checkpoint& checkpoint);

  // --- Bounded work ---------------------------------------------------------

  // Stack use per nesting level is what bounds the nesting, so functions on
  // recursive paths keep their frames small: one named Result returned in
  // place, and tree-building temporaries in out-of-line helpers (see
  // state.cc). Check with -fstack-usage and the stack test in
  // tests/pathological.
  //
  // One level of nesting for the lifetime of the object. Every atom holds
  // one: the dispatcher (read_command) for a command, parse_atom for any
  // other atom. That covers every recursion through groups, arguments,
  // scripts and command handlers; any other recursive path (a function
  // calling itself, or calling parse_sequence again without an atom in
  // between) must hold its own scope and return nesting_error() when
  // exceeded() is true.
  class [[nodiscard]] NestingScope {
   public:
    explicit NestingScope(Parser& parser) : parser_(parser) {
      ++parser_.nesting_;
      ++*parser_.work_done_;
    }
    ~NestingScope() { --parser_.nesting_; }
    NestingScope(const NestingScope&) = delete;
    NestingScope& operator=(const NestingScope&) = delete;
    bool exceeded() const { return parser_.nesting_ > kMaxNestingDepth; }
    // True once the whole parse (sub-parsers included) has opened more
    // scopes than its allowance. Checked where every atom and every
    // command opens its scope.
    bool work_spent() const { return *parser_.work_done_ > parser_.work_allowance_; }

   private:
    Parser& parser_;
  };

  // Current nesting level (sub-parsers continue their parent's count).
  std::size_t nesting() const { return nesting_; }
  // The scopes opened so far by the whole parse, and its allowance.
  std::size_t work_done() const { return *work_done_; }
  std::size_t work_allowance() const { return work_allowance_; }

  // Runs `attempt` (returning a Result) as the attempt of `construct` at the
  // current position unless the same attempt already failed; then its stored
  // error comes back at once without running it. Failures are recorded, and
  // after either kind of failure the parser is back at the checkpoint taken
  // before the attempt, so the caller's recovery starts from there.
  template <class F>
  [[gnu::always_inline]] auto attempt_once(Construct construct, F&& attempt) -> decltype(attempt()) {
    // Inlined into the caller, so that the attempt runs with one frame less
    // between the levels of a recursion.
    using R = decltype(attempt());
    const Checkpoint start = save();
    const Error* known = memo_.known_failure(construct, start.pos);
    // One named result, returned in place: this sits on recursive paths.
    R result = known != nullptr ? R(*known) : attempt();
    if (!result.ok()) {
      if (known == nullptr) memo_.mark_failed(construct, start.pos, result.error());
      restore(start);
    }
    return result;
  }
  const AttemptMemo& attempt_memo() const { return memo_; }

 private:
  // The run of whitespace at the position (at least one character), consumed.
  std::string consume_whitespace_run();
  // A sub-parser over `text` on top of `parent`'s definitions and stacks,
  // continuing its nesting.
  Parser(std::string_view text, const Parser& parent);
  // A sub-parser over the characters [begin, end) of `parent`'s text.
  Parser(Parser& parent, std::size_t begin, std::size_t end);
  // The same on the heap (in a block of the node pool): it sits once per
  // nesting level on recursive paths.
  ast::node_pool::PooledPtr<Parser> make_sub_parser(std::string_view text) const;
  template <class T, class... Args>
  friend ast::node_pool::PooledPtr<T> ast::node_pool::make_pooled(Args&&... args);

  // The handlers the dispatcher calls: a control word (letters) and a
  // control symbol (one other character). Reached only through
  // read_command, which holds their nesting level.
  Result<ast::Expr> parse_control_word(const std::string& name);
  // The built-in meaning of a control word; one reached through a \let
  // alias is not held to the always-raw names.
  Result<ast::Expr> parse_builtin_control_word(const std::string& name, bool through_alias);
  // A control word aliased by \let to `target` (as TeX text: "\sqrt", "\,", "a").
  [[gnu::noinline]] Result<ast::Expr> parse_let_alias_use(const std::string& target);
  // The symbol tables and the other lookups tried after the named commands,
  // in their order; nothing when no table knows `name`. `key` is `name` with
  // its hash, computed once for all the tables.
  std::optional<Result<ast::Expr>> parse_table_command(const std::string& name, HashedName key);
  Result<ast::Expr> parse_control_symbol(char32_t symbol);
  // Parses a `{` group after the brace; an unclosed group becomes raw "{".
  Result<ast::Expr> parse_group_atom();
  // Consumes the infix command that comes next and parses the rest of the
  // sequence around it, the items so far on its left; `whitespace` is what
  // the sequence read just before the command.
  [[gnu::noinline]] Result<ast::Expr> parse_infix_rest(ast::ExprList& items, std::optional<char32_t> stop,
                                                       const std::string& whitespace);
  // A second \over at the same level: every \over of the run is kept raw
  // between its operands (see infix.cc).
  [[gnu::noinline]] Result<ast::Expr> parse_repeated_over_fallback(ast::ExprList& items,
                                                                   std::optional<char32_t> stop);
  // True when another \over follows at brace depth 0 before the end of the
  // current sequence.
  bool over_follows_in_sequence(std::optional<char32_t> stop);
  // The atoms of a switch's content that is not a `{` group; out of line, so
  // that a `{` group is read without this loop's frame.
  [[gnu::noinline]] Result<ast::Expr> parse_switch_atoms();
  // pending_space and the whitespace that follows: an atom's leading space.
  [[gnu::noinline]] std::string take_leading_space();
  // A plain character at the position, with nothing attached to it, added
  // to `items` as parse_complete_atom and the sequence loop would add it.
  // False (nothing read) when the character needs the full atom path.
  bool take_plain_char(ast::ExprList& items);
  // Remembers that the `}`- or `]`-terminated sequence begun at `start`
  // failed.
  [[gnu::noinline]] void note_failed_tail(Construct tail, const Result<ast::Expr>& result, std::size_t start);
  // The end of a sequence: the stop character (if any) is consumed.
  [[gnu::noinline]] Result<ast::Expr> finish_sequence(ast::ExprList& items, std::optional<char32_t> stop);

  std::u32string text_;        // the text, unless the parser reads a range of its parent's
  std::u32string_view chars_;  // the characters parsed
  std::size_t pos_ = 0;
  std::string pending_space_;
  EnvironmentStack environment_stack_;
  EnvironmentStack shell_stack_;
  std::size_t closed_shell_ = kNoClosedShell;
  DefinitionScope definitions_;
  quorvix_ansi::SourceEncoding encoding_;
  unsigned depth_ = 0;
  std::size_t nesting_ = 0;
  // The top parser's count, shared by its sub-parsers.
  std::size_t own_work_ = 0;
  std::size_t* work_done_ = &own_work_;
  std::size_t work_allowance_ = 0;
  AttemptMemo memo_;
  BraceMatches brace_matches_;
  DelimiterClosers delimiter_closers_;
  ControlWordPositions of_positions_{U"of"};
  EnvironmentPairs environment_pairs_;
};

}  // namespace quorvix::parser
