// The parser object, the parse entry, the sequence loop and the atom dispatch.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "common/spare_buffer.h"
#include "parser/char_debug.h"
#include "parser/chars.h"
#include "parser/definition_fallback.h"
#include "parser/group_braces.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

Error nesting_error() { return Error{std::string(kNestedTooDeeply), /*fatal=*/true}; }

Error work_limit_error() { return Error{std::string(kTooMuchWork), /*fatal=*/true}; }

namespace {

// The work allowance of a parse, counted in atoms and commands read
// (re-reading included): a fixed allowance plus two per character. Text
// that does not fail and recover reads each character about once, and a
// long text behind failures that each end at once reads it about twice;
// the fixed part covers the openers of such failures, which each level
// reads again up to the nesting bound. Only failures nested around a long
// text, each re-reading it once more, come near the bound, which keeps the
// worst 64 KiB input to three parses of its length. A text short enough for
// its equation to fit in a compound file (well under 20 000 characters) may
// be read five times over, a formula of a few hundred characters a hundred
// times.
constexpr std::size_t kWorkAllowance = 1 << 16;
constexpr std::size_t kWorkPerCharacter = 2;

}  // namespace

Parser::Parser(std::string_view normalized, quorvix_ansi::SourceEncoding encoding)
    : text_(decode_utf8(normalized, SpareChars::take())),
      chars_(text_),
      encoding_(std::move(encoding)),
      work_allowance_(kWorkAllowance + kWorkPerCharacter * chars_.size()) {}

Parser::Parser(std::string_view normalized)
    : Parser(normalized, quorvix_ansi::SourceEncoding::from_environment()) {}

Parser::Parser(std::string_view text, const Parser& parent)
    : text_(decode_utf8(text, SpareChars::take())),
      chars_(text_),
      environment_stack_(&parent.environment_stack_),
      shell_stack_(&parent.shell_stack_),
      definitions_(&parent.definitions_),
      encoding_(parent.encoding_),
      depth_(parent.depth_ + 1),
      nesting_(parent.nesting_ + 1),
      work_done_(parent.work_done_),
      work_allowance_(parent.work_allowance_) {}

Parser::~Parser() { SpareChars::give_back(text_); }

bool Parser::starts_with(std::string_view text) const {
  if (chars_.size() - std::min(pos_, chars_.size()) < text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (chars_[pos_ + i] != static_cast<unsigned char>(text[i])) return false;
  return true;
}

void Parser::restore(const Checkpoint& checkpoint) {
  pos_ = checkpoint.pos;
  pending_space_ = checkpoint.pending_space;
  environment_stack_.truncate(checkpoint.environments);
  shell_stack_.truncate(checkpoint.shells);
  closed_shell_ = checkpoint.closed_shell;
}

Result<Expr> Parser::parse() && {
  const std::uint64_t raw_before = ast::raw_leaves_made();
  QV_ASSIGN_OR_RETURN(Expr expr, parse_sequence(std::nullopt));
  // Only raw pieces made by this parse can sit next to each other.
  if (ast::raw_leaves_made() != raw_before) expr = merge_adjacent_raw_tex(std::move(expr));
  skip_ws();
  if (!at_end()) return make_error("unexpected character " + optional_char_debug(peek()));
  return expr;
}

using ast::is_empty_sequence;

namespace {

// The functions below run between the recursive calls of the sequence loop
// and the atom dispatch. They are kept out of line so that their temporaries
// (trees of a couple of hundred bytes each) do not enlarge the frames that
// stay on the stack once per nesting level.

// A raw definition command that a following atom continues (the atom is
// shown as its replacement).
bool starts_with_raw_definition(const Expr& e) {
  const auto* seq = e.get_if<ast::Sequence>();
  if (seq == nullptr || seq->items.empty()) return false;
  const auto* raw = seq->items.front().get_if<ast::RawTex>();
  return raw != nullptr &&
         (raw->text == "\\newcommand" || raw->text == "\\renewcommand" || raw->text == "\\providecommand");
}

// Most sequences hold a few items: room for four at once spares the first
// growth steps.
template <class T>
void push_item(ExprList& items, T&& item) {
  if (items.capacity() == 0) items.reserve(4);
  items.emplace_back(std::forward<T>(item));
}

// Adds one parsed atom to the items: with its leading raw space, dropped when
// empty, or appended to a raw definition that it continues. Returns false
// when the sequence ends here: the atom failed, or it is the failure marker.
[[gnu::noinline]] bool take_sequence_atom(ExprList& items, Result<Expr>& parsed, std::string_view ws) {
  if (!parsed.ok()) return false;
  Expr& atom = parsed.value();
  add_leading_raw_space(atom, ws);
  if (is_empty_sequence(atom)) return true;
  if (ast::is_translation_failed_marker(atom)) return false;
  if (!items.empty() && starts_with_raw_definition(items.back()) && !starts_with_raw_definition(atom)) {
    items.back().as<ast::Sequence>().items.push_back(normalize_definition_fallback_expr(std::move(atom)));
  } else {
    push_item(items, std::move(atom));
  }
  return true;
}

// The result of a sequence that take_sequence_atom ended: the atom's
// failure, or the failure marker alone (the items gathered are dropped).
[[gnu::noinline]] Result<Expr> end_sequence_early(Result<Expr>& parsed) { return std::move(parsed); }

[[gnu::noinline]] Result<Expr> atom_at_end_error() { return make_error("expected atom, found None"); }

[[gnu::noinline]] Result<Expr> nesting_failure() { return nesting_error(); }

[[gnu::noinline]] Result<Expr> work_failure() { return work_limit_error(); }

[[gnu::noinline]] Result<Expr> raw_atom(std::string_view text, std::string_view leading_space) {
  std::string raw(leading_space);
  raw += text;
  return ast::make_raw(std::move(raw));
}

[[gnu::noinline]] void finish_group(Result<Expr>& group) {
  if (group.ok()) {
    group.value() = preserve_raw_group_braces(std::move(group.value()));
  } else if (!group.error().fatal) {
    group = ast::make_raw("{");
  }
}

}  // namespace

Result<Expr> Parser::parse_sequence(std::optional<char32_t> stop) {
  ExprList items;
  // The text's own sequence holds at most one item per character: reserving
  // that much at once spares a long flat text the repeated moves of every
  // item the vector's growth would make (twice the per-character cost of a
  // short formula). That is no more than the flattest text of this length
  // fills. Only the outermost sequence starts at the text's first character.
  if (!stop && pos_ == 0 && depth_ == 0) items.reserve(chars_.size());
  const std::size_t start = pos_;
  // The memo entry of this sequence's tail; kCount for a sequence without one.
  const Construct tail = stop == U'}'   ? Construct::GroupTail
                         : stop == U']' ? Construct::BracketTail
                                        : Construct::kCount;
  for (;;) {
    if (tail != Construct::kCount && !memo_.empty()) {
      if (const Error* known = memo_.known_failure(tail, pos_)) return *known;
    }
    std::string ws = consume_raw_whitespace();
    if (at_end() || (stop && chars_[pos_] == *stop)) {
      Result<Expr> finished = finish_sequence(items, stop);
      if (tail != Construct::kCount) note_failed_tail(tail, finished, start);
      return finished;
    }
    if (infix_command_follows()) {
      Result<Expr> rest = parse_infix_rest(items, stop, ws);
      if (tail != Construct::kCount) note_failed_tail(tail, rest, start);
      return rest;
    }
    if (ws.empty() && take_plain_char(items)) continue;
    Result<Expr> atom = parse_complete_atom();
    if (!take_sequence_atom(items, atom, ws)) {
      if (tail != Construct::kCount) note_failed_tail(tail, atom, start);
      return end_sequence_early(atom);
    }
  }
}

namespace {

// An ASCII character that parse_atom reads as a Char of its own: not a
// command, brace, prime, script marker, whitespace or one of the characters
// kept as raw fragments.
constexpr bool is_plain_char_atom(char32_t c) {
  if (c >= 0x80 || is_whitespace(c)) return false;
  switch (c) {
    case U'\\':
    case U'{':
    case U'}':
    case U'\'':
    case U'^':
    case U'_':
    case U'"':
    case U'#':
    case U'&': return false;
    default: return true;
  }
}

// A character after which the script loop has nothing to read: no prime, no
// bracket of primes, no whitespace, no command (a limit modifier) and no
// script marker.
constexpr bool ends_plain_atom(char32_t c) {
  return !(c == U'\'' || c == U'[' || c == U'\\' || c == U'_' || c == U'^' || is_whitespace(c));
}

}  // namespace

bool Parser::take_plain_char(ExprList& items) {
  const char32_t c = chars_[pos_];
  if (!is_plain_char_atom(c) || (pos_ + 1 < chars_.size() && !ends_plain_atom(chars_[pos_ + 1])))
    return false;
  // The checks of the atom's nesting scope; when either fails, the full path
  // reports it.
  if (!pending_space_.empty() || nesting_ >= kMaxNestingDepth || *work_done_ >= work_allowance_) return false;
  if (!items.empty() && starts_with_raw_definition(items.back())) return false;
  ++*work_done_;
  ++pos_;
  push_item(items, ast::Char{c});
  return true;
}

void Parser::note_failed_tail(Construct tail, const Result<Expr>& result, std::size_t start) {
  if (!result.ok()) memo_.mark_failed(tail, start, result.error());
}

Result<Expr> Parser::finish_sequence(ExprList& items, std::optional<char32_t> stop) {
  if (!stop) return ast::make_sequence(std::move(items));
  const std::optional<char32_t> found = next_char();
  if (found == stop) return ast::make_sequence(std::move(items));
  return make_error("expected " + char_debug(*stop) + ", found " + optional_char_debug(found));
}

Result<Expr> Parser::parse_atom() {
  std::string leading_space = take_leading_space();
  if (peek() == U'\\') {
    // The dispatcher holds the nesting level of a command.
    ++pos_;
    return parse_command(leading_space);
  }
  NestingScope scope(*this);
  if (scope.exceeded()) return nesting_failure();
  if (scope.work_spent()) return work_failure();
  if (at_end()) return atom_at_end_error();
  const char32_t c = chars_[pos_++];
  switch (c) {
    case U'\'': return raw_atom("'", leading_space);
    case U'{': return parse_group_atom();
    case U'}': return raw_atom("}", "");
    default: return parse_literal_char(c, leading_space);
  }
}

std::string Parser::take_leading_space() {
  if (pending_space_.empty()) return consume_raw_whitespace();
  std::string leading_space = std::exchange(pending_space_, std::string());
  leading_space += consume_raw_whitespace();
  return leading_space;
}

Result<Expr> Parser::parse_group_atom() {
  // Returned in place (no copy of the result on this frame). A failed group
  // leaves the parser just after the brace: the brace stays as raw text and
  // parsing resumes inside the group.
  Result<Expr> group = attempt_once(Construct::BraceGroup, [&] { return parse_sequence(U'}'); });
  finish_group(group);  // braces kept raw, or the raw "{" of the recovery
  return group;
}

ast::node_pool::PooledPtr<Parser> Parser::make_sub_parser(std::string_view text) const {
  return ast::node_pool::make_pooled<Parser>(text, *this);
}

namespace {

[[gnu::noinline]] void finish_macro_replacement(Result<Expr>& result, Parser& sub) {
  if (!result.ok()) return;
  sub.skip_ws();
  if (!sub.at_end())
    result = make_error("unexpected character in macro replacement " + optional_char_debug(sub.peek()));
}

}  // namespace

Result<Expr> Parser::parse_macro_replacement(std::string_view text, std::string_view hidden_macro) {
  const ast::node_pool::PooledPtr<Parser> sub = make_sub_parser(text);
  if (!hidden_macro.empty()) sub->remove_macro(hidden_macro);
  Result<Expr> result =
      sub->nesting_ > kMaxNestingDepth ? Result<Expr>(nesting_error()) : sub->parse_sequence(std::nullopt);
  finish_macro_replacement(result, *sub);
  return result;
}

}  // namespace quorvix::parser
