#include <gtest/gtest.h>

#include "parser/parser.h"

namespace quorvix::parser {
namespace {

TEST(AttemptOnceTest, AFailedAttemptIsNeverRunAgain) {
  Parser p("abc");
  int runs = 0;
  auto failing = [&]() -> Result<ast::Expr> {
    ++runs;
    p.set_pos(2);
    return make_error("expected '}', found None");
  };
  p.set_pos(1);
  auto first = p.attempt_once(Construct::Fraction, failing);
  p.set_pos(1);
  auto second = p.attempt_once(Construct::Fraction, failing);
  EXPECT_EQ(runs, 1);
  ASSERT_FALSE(second.ok());
  EXPECT_EQ(second.error().message, first.error().message);
  EXPECT_EQ(p.pos(), 1u);  // a remembered failure does not move

  // Another construct, or another position, runs.
  p.set_pos(1);
  (void)p.attempt_once(Construct::Root, failing);
  p.set_pos(0);
  (void)p.attempt_once(Construct::Fraction, failing);
  EXPECT_EQ(runs, 3);
}

TEST(AttemptOnceTest, SuccessesAndFatalErrorsAreNotRemembered) {
  Parser p("abc");
  int runs = 0;
  auto ok = [&]() -> Result<ast::Expr> {
    ++runs;
    return ast::make_char(U'a');
  };
  auto fatal = [&]() -> Result<ast::Expr> {
    ++runs;
    return nesting_error();
  };
  (void)p.attempt_once(Construct::BraceGroup, ok);
  (void)p.attempt_once(Construct::BraceGroup, ok);
  (void)p.attempt_once(Construct::Environment, fatal);
  (void)p.attempt_once(Construct::Environment, fatal);
  EXPECT_EQ(runs, 4);
  EXPECT_EQ(p.attempt_memo().size(), 0u);
}

}  // namespace
}  // namespace quorvix::parser
