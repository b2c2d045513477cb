// Fractions, roots, strike-outs and infix commands on inputs built to make
// their recovery rules and look-aheads expensive: unclosed arguments nested
// forty deep and to the bound, long runs of \over, many groups each holding
// one, and infix chains on a small stack.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "ast/nesting.h"
#include "parser/parser.h"
#include "pathological_inputs.h"
#include "small_stack.h"

namespace quorvix::parser {
namespace {

using testing::repeat;

using testing::kSmallStack;

const ast::ExprList& items_of(const Result<ast::Expr>& r) { return r.value().as<ast::Sequence>().items; }

// Each unit opens arguments that are never closed, forty levels in all, so
// every level fails and is read again as ordinary input. Literal re-parsing
// takes 2^40 steps; with the memo of failed attempts each level is re-read
// once.
TEST(TemplatesPathologicalTest, UnclosedArgumentsFortyDeep) {
  const std::pair<const char*, std::size_t> units[] = {
      {"\\frac{", 40},        {"\\sqrt[", 40},      {"\\sqrt{", 40},         {"\\cancel{", 40},
      {"\\xrightarrow[", 40}, {"\\overbrace{", 40}, {"\\frac{\\sqrt[{", 13}, {"\\frac{x}{\\sqrt{", 20},
  };
  for (const auto& [unit, times] : units) {
    const auto start = std::chrono::steady_clock::now();
    auto r = Parser(repeat(unit, times) + "x").parse();
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(r.ok()) << unit << ": " << r.error().message;
    EXPECT_LT(seconds, 1.0) << unit;
  }
  // Everything stays raw: the commands and their braces, then the x.
  auto fracs = Parser(repeat("\\frac{", 40) + "x").parse();
  ASSERT_EQ(items_of(fracs).size(), 2u);
  EXPECT_EQ(items_of(fracs)[0].as<ast::RawTex>().text, repeat("\\frac{", 40));
}

// The deepest the bound allows, each level re-reading a long tail once.
TEST(TemplatesPathologicalTest, UnclosedArgumentsAtTheBoundWithALongTail) {
  const std::size_t levels = kMaxNestingDepth - 1;
  const std::string tail = repeat("a+", 5000);
  // The raw commands and braces merge into one piece; a bracket is a character.
  const std::pair<const char*, std::size_t> units[] = {
      {"\\frac{", 1}, {"\\cancel{", 1}, {"\\sqrt[", 2 * levels}};
  for (const auto& [unit, pieces] : units) {
    auto r = Parser(repeat(unit, levels) + tail).parse();
    ASSERT_TRUE(r.ok()) << unit;
    EXPECT_EQ(items_of(r).size(), pieces + 10000u) << unit;
  }
}

TEST(TemplatesPathologicalTest, ManyOversAreOneFlatRun) {
  const std::size_t n = 100000;
  auto top = Parser("a" + repeat(" \\over a", n)).parse();
  ASSERT_TRUE(top.ok());
  EXPECT_EQ(items_of(top).size(), 2 * n + 1);

  auto grouped = Parser("{a" + repeat(" \\over a", n) + "}").parse();
  ASSERT_TRUE(grouped.ok());
  ASSERT_EQ(items_of(grouped).size(), 1u);
  EXPECT_EQ(items_of(grouped)[0].as<ast::Sequence>().items.size(), 2 * n + 1);
}

TEST(TemplatesPathologicalTest, ManyGroupsEachHoldingOneOver) {
  // Siblings: each look-ahead ends at its own group's brace.
  auto siblings = Parser(repeat("{a \\over b}", 100000)).parse();
  ASSERT_TRUE(siblings.ok());
  EXPECT_EQ(items_of(siblings).size(), 100000u);
  EXPECT_TRUE(items_of(siblings).back().is<ast::Fraction>());

  // A long flat run after groups that each hold one: the look-ahead of the
  // \over at the top skips every group whole.
  auto after = Parser("x \\over y " + repeat("{a \\over b}", 100000)).parse();
  ASSERT_TRUE(after.ok());
  EXPECT_EQ(items_of(after).size(), 3u + 100000u);

  // Nested on the right to the bound (a group and an infix command are a
  // level each), with a long run at the innermost level.
  const std::size_t levels = (kMaxNestingDepth - 1) / 2;
  auto nested = Parser(repeat("{a \\over ", levels) + repeat("b+", 5000) + repeat("}", levels)).parse();
  ASSERT_TRUE(nested.ok()) << nested.error().message;
  const ast::Expr* e = &items_of(nested).front();
  std::size_t depth = 0;
  while (const auto* f = e->get_if<ast::Fraction>()) {
    ++depth;
    const auto& den = f->denominator->as<ast::Sequence>().items;
    e = &den.front();
    if (den.size() > 1) break;
  }
  EXPECT_EQ(depth, levels);
}

// Every infix command parses the rest of its sequence one level down: chains
// are bounded like nesting, and on a small stack the bound is reached
// without exhausting it.
TEST(TemplatesPathologicalTest, InfixChainsStopAtTheBoundOnASmallStack) {
  const std::size_t fits = kMaxNestingDepth - 2;  // the last atom is one more level
  for (const char* unit : {" \\atop x", " \\choose x", " \\above x"}) {
    for (const char* open : {"", "{"}) {
      const std::string close = *open ? "}" : "";
      bool ok_below = false;
      bool error_past = false;
      testing::run_with_stack(kSmallStack, [&] {
        ok_below = Parser(open + ("x" + repeat(unit, fits - (*open ? 1 : 0))) + close).parse().ok();
        auto past = Parser(open + ("x" + repeat(unit, 100000)) + close).parse();
        error_past = !past.ok() && past.error().fatal && past.error().message == kNestedTooDeeply;
      });
      EXPECT_TRUE(ok_below) << open << unit;
      EXPECT_TRUE(error_past) << open << unit;
    }
  }
}

TEST(TemplatesPathologicalTest, ManyRootsWithoutOfSearchOnce) {
  // Every \root looks ahead for \of; none follows.
  auto roots = Parser(repeat("\\root[x]", 100000)).parse();
  ASSERT_TRUE(roots.ok());
  // One \of at the very end: each \root before it takes it as its own.
  auto one_of = Parser(repeat("\\root[", 20000) + "x\\of y").parse();
  ASSERT_TRUE(one_of.ok()) << one_of.error().message;
}

}  // namespace
}  // namespace quorvix::parser
