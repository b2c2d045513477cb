// Undoing attempts: a failed attempt leaves the parser at its checkpoint
// (position, pending space, open environments), a successful one keeps what
// it read, and a remembered failure neither runs nor moves.
#include <gtest/gtest.h>

#include <string>

#include "parser/parser.h"

namespace quorvix::parser {
namespace {

using ast::Expr;

struct ParserState {
  std::size_t pos;
  std::string pending_space;
  std::size_t environments;
  std::size_t shells;
  bool operator==(const ParserState&) const = default;
};

ParserState state_of(Parser& p) {
  return {p.pos(), p.pending_space(), p.environment_stack().size(), p.shell_stack().size()};
}

std::ostream& operator<<(std::ostream& os, const ParserState& s) {
  return os << "pos " << s.pos << ", pending \"" << s.pending_space << "\", " << s.environments
            << " environments, " << s.shells << " shells";
}

// What an attempt does to the parser before it ends: it consumes the
// whitespace in front of it (taking the pending space over, as an atom
// does), reads on, leaves whitespace pending and opens environments.
Result<Expr> consume_and_end(Parser& p, bool fail) {
  p.pending_space().clear();
  p.skip_ws();
  p.environment_stack().push("gather");
  p.shell_stack().push("multline");
  while (!p.at_end() && p.peek() != U' ') p.next_char();
  p.pending_space() = p.consume_raw_whitespace();
  if (fail) return make_error("expected '}', found None");
  return ast::make_char(U'a');
}

TEST(CheckpointTest, AFailedAttemptIsUndoneAndASuccessfulOneKept) {
  const struct {
    const char* name;
    bool fail;
    ParserState after;
  } cases[] = {
      {"failed", true, {1, " ", 1, 0}},
      {"succeeded", false, {8, "  ", 2, 1}},
  };
  for (const auto& c : cases) {
    Parser p("x  abc  y");
    p.set_pos(1);
    p.pending_space() = " ";
    p.environment_stack().push("align");
    auto r = p.attempt_once(Construct::Fraction, [&] { return consume_and_end(p, c.fail); });
    EXPECT_EQ(r.ok(), !c.fail) << c.name;
    EXPECT_EQ(state_of(p), c.after) << c.name;
  }
}

TEST(CheckpointTest, ARememberedFailureComesBackWithoutRunning) {
  Parser p("x  abc  y");
  int runs = 0;
  auto attempt = [&] {
    ++runs;
    return consume_and_end(p, /*fail=*/true);
  };
  p.set_pos(1);
  ASSERT_FALSE(p.attempt_once(Construct::Root, attempt).ok());
  p.pending_space() = "\t";
  auto again = p.attempt_once(Construct::Root, attempt);
  ASSERT_FALSE(again.ok());
  EXPECT_EQ(again.error().message, "expected '}', found None");
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(state_of(p), (ParserState{1, "\t", 0, 0}));
}

TEST(CheckpointTest, SaveAndRestoreByHand) {
  Parser p("a b c");
  p.pending_space() = " ";
  const Parser::Checkpoint start = p.save();
  (void)consume_and_end(p, false);
  p.environment_stack().push("cases");
  ASSERT_NE(state_of(p), (ParserState{0, " ", 0, 0}));
  p.restore(start);
  EXPECT_EQ(state_of(p), (ParserState{0, " ", 0, 0}));
  // A checkpoint can be restored more than once.
  (void)consume_and_end(p, false);
  p.restore(start);
  EXPECT_EQ(state_of(p), (ParserState{0, " ", 0, 0}));
}

}  // namespace
}  // namespace quorvix::parser
