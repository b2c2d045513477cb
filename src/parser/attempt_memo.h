// Memory of parse attempts that failed, so that recovery never repeats one.
//
// Several recovery rules reset the position after a failed attempt and parse
// the same text again one level up: an unclosed `{` is kept as raw text and
// its content is parsed again; fractions, roots and environments do the same.
// Done literally, k nested failures cost 2^k re-parses. Every such rule asks
// the memo first: an attempt of the same construct at the same position that
// already failed fails again at once with the stored error, without running.
// Each (construct, position) therefore fails at most once, and a character is
// re-read at most once per enclosing failed attempt, which bounds the work by
// the input length times the nesting bound.
//
// The outcome of an attempt is taken to depend only on the construct and its
// start position. Parser state that an attempt may change on its way to the
// failure (recorded macro definitions) is not replayed on a memo hit; such a
// definition is recorded by the first run and by the re-parse of the same
// text anyway.
//
// Fatal errors (nesting too deep) end the whole parse and are never stored.
//
// Construct code does not use the memo directly: it runs each attempt
// through `Parser::attempt_once`, which consults and fills the memo and
// undoes a failed attempt (see `Parser::parse_group_atom`):
//
//   Result<Expr> r = attempt_once(Construct::Fraction, [&] { return ...; });
//   if (!r.ok() && !r.error().fatal) ... recover from the attempt's start ...
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "common/result.h"

namespace quorvix::parser {

// The constructs whose failed attempts are remembered. Add one per recovery
// rule that re-parses after a failure.
enum class Construct : std::uint8_t {
  BraceGroup,       // `{` ... `}` read by parse_atom
  CommandArgument,  // an unbraced argument of a command that recovers as raw TeX
  BracketGroup,     // `[` ... `]` shown after a command kept as raw TeX
  Fraction,         // the numerator of \frac and its relatives
  Root,             // the index and radicand of \sqrt
  // The argument of a command kept raw when it fails (strike-outs, braces,
  // extensible arrows). No two commands end at the same position, so they
  // share one construct.
  Argument,
  Environment,
  LeftRight,
  ArrowLabels,  // the labels of an extensible arrow kept as raw TeX
  // A `}`-terminated (`]`-terminated) sequence from this position to its
  // end. When an unclosed group is kept as raw text, the group around it goes
  // on parsing from where the failed one began and would fail the same way;
  // it stops there instead, so nested unclosed groups read their text once,
  // not once per level.
  GroupTail,
  BracketTail,
  kCount,
};

class AttemptMemo {
 public:
  // The error of an earlier failed attempt of `construct` at `pos`, or null.
  const Error* known_failure(Construct construct, std::size_t pos) const;
  bool attempt_known_failed(Construct construct, std::size_t pos) const {
    return known_failure(construct, pos) != nullptr;
  }

  // Records a failed attempt; fatal errors are ignored (they end the parse).
  void mark_failed(Construct construct, std::size_t pos, const Error& error);

  // The failed attempts remembered (the sequence tails are not attempts of
  // their own and are not counted).
  std::size_t size() const { return attempts_; }
  bool empty() const { return failures_.empty(); }

 private:
  static std::uint64_t key(Construct construct, std::size_t pos) {
    return (static_cast<std::uint64_t>(pos) << 8) | static_cast<std::uint64_t>(construct);
  }

  std::unordered_map<std::uint64_t, Error> failures_;
  std::size_t attempts_ = 0;
};

}  // namespace quorvix::parser
