// Deep nesting: bounded, fatal past the bound, and safe on a small stack.
#include <algorithm>
#include <cstdint>
#include <iostream>
#include <string>

#include <gtest/gtest.h>

#include "ast/expr.h"
#include "ast/nesting.h"
#include "ast/node_pool.h"
#include "parser/parser.h"
#include "pathological_inputs.h"
#include "small_stack.h"
#include "support/tree_depth.h"

namespace quorvix::parser {
namespace {

using testing::nested;
using testing::NestPattern;
using testing::repeat;

using testing::kSmallStack;

std::string balanced(std::size_t levels) { return repeat("{", levels) + "x" + repeat("}", levels); }

// One level of nesting of each recursive construct: the deepest input of
// each kind must fit the small stack. Add a row per construct that recurses.
constexpr NestPattern kNestPatterns[] = {
    {"{", "}"},
    {"a {\\foo ", " b} "},
    {"x_{", "}"},        // script arguments
    {"x^{", "}"},        // superscript groups (looked at for primes first)
    {"\\sum ", ""},      // operands of operators without operand
    {"\\int_a^b ", ""},  // operands of integrals with limits
    {"x^{'^{", "}}"},    // prime superscripts: the inner text is read on its own
    {"\\frac{", "}{x}"},
    {"\\frac{x}{", "}"},  // numerators and denominators
    {"\\sqrt{", "}"},
    {"\\sqrt[", "]{x}"},  // radicands and indices
    {"\\cancel{", "}"},
    {"\\underbrace{", "}_n"},
    {"\\stackrel{a}{", "}"},
    {"\\binom{", "}{k}"},
    {"\\xrightarrow[", "]{f}"},
    {"\\xmapsto{", "}"},
    {"\\xmapsto[", "]{y}"},
    {"\\xmapsto ", ""},  // labels of arrows kept raw
    // Command arguments, switches and the raw TeX fallbacks.
    {"\\mathbf{", "}"},
    {"\\hat{", "}"},
    {"\\overline ", ""},  // accents and bars over atoms
    {"\\vec{", "}"},
    {"\\not{", "}"},
    {"\\mathcal{", "}"},
    {"\\textsf ", ""},
    {"\\textcolor{red}{", "}"},
    {"\\color{red}{", "}"},
    {"\\displaystyle ", ""},
    {"\\bf{", "}"},
    {"\\pmod{", "}"},
    {"\\foo\\big ", ""},
    {"\\foo[", "]"},
    {"\\begin{x}", "\\end{x}"},
    {"\\begin{pmatrix}", "\\end{pmatrix}"},  // environments read into rows
    {"\\begin{align}a&", "\\\\b\\end{align}"},
    {"\\begin{array}{c}", "\\end{array}"},
    {"\\begin{subarray}{c}", "\\end{subarray}"},
    {"\\begin{equation}", "\\end{equation}"},
    {"\\begin{cases}", "&y\\end{cases}"},
    {"\\substack{", "}"},
    {"\\label{", "}"},
    {"\\left( ", " \\right)"},  // \left bodies, closed and unfinished
    {"\\left. ", "\\right|"},
    {"\\left[ ", ""},
    {"\\left( x\\middle| ", "\\right)"},
};

using test_support::tree_depth;

void expect_nesting_error(const Result<ast::Expr>& r) {
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().message, kNestedTooDeeply);
  EXPECT_TRUE(r.error().fatal);
}

TEST(NestingTest, HundredThousandLevelsGiveTheNestingError) {
  expect_nesting_error(Parser(std::string(100000, '{') + "x").parse());
  expect_nesting_error(Parser(balanced(100000)).parse());
  // Unclosed braces past the bound: the error is not recovered as raw braces.
  expect_nesting_error(Parser(std::string(5000, '{') + "x").parse());
}

TEST(NestingTest, EveryPatternStopsAtTheBound) {
  for (const NestPattern& p : kNestPatterns) {
    EXPECT_TRUE(Parser(nested(p, kMaxNestingDepth - 1)).parse().ok()) << p.open;
    auto at_bound = Parser(nested(p, kMaxNestingDepth)).parse();
    ASSERT_FALSE(at_bound.ok()) << p.open;
    EXPECT_EQ(at_bound.error().message, kNestedTooDeeply) << p.open;
    EXPECT_TRUE(at_bound.error().fatal);
  }
}

// A conversion takes the blocks made while parsing as a bound on the tree's
// depth, and skips measuring trees within the writer's: every level below
// the root must sit in a block of its own.
TEST(NestingTest, TheBlocksMadeWhileParsingBoundTheTreesDepth) {
  std::size_t deepest = 0;
  for (const NestPattern& p : kNestPatterns) {
    for (const std::size_t levels : {std::size_t{1}, kMaxNestingDepth / 2, kMaxNestingDepth - 1}) {
      const std::uint64_t before = ast::node_pool::blocks_made();
      auto r = Parser(nested(p, levels)).parse();
      const std::uint64_t blocks = ast::node_pool::blocks_made() - before;
      ASSERT_TRUE(r.ok()) << p.open << " " << levels;
      const std::size_t depth = tree_depth(r.value());
      EXPECT_LE(depth, blocks + 1) << p.open << " " << levels;
      deepest = std::max(deepest, depth);
    }
  }
  EXPECT_GT(deepest, 2 * kMaxNestingDepth);
}

TEST(NestingTest, EveryPatternFarPastTheBoundOnASmallStack) {
  for (const NestPattern& p : kNestPatterns) {
    bool got_error = false;
    testing::run_with_stack(kSmallStack, [&] {
      auto r = Parser(nested(p, 100000)).parse();
      got_error = !r.ok() && r.error().fatal && r.error().message == kNestedTooDeeply;
    });
    EXPECT_TRUE(got_error) << p.open;
  }
}

TEST(NestingTest, JustBelowTheBoundFitsASmallStack) {
  const std::size_t levels = kMaxNestingDepth - 1;
  bool balanced_ok = false;
  bool unclosed_ok = false;
  const std::size_t used = testing::run_with_stack(kSmallStack, [&] {
    balanced_ok = true;
    for (const NestPattern& p : kNestPatterns) {
      auto r = Parser(nested(p, levels)).parse();
      balanced_ok = balanced_ok && r.ok();
      if (r.ok()) {
        const ast::Expr copy = r.value();  // copy and destruction on the same stack
        balanced_ok = balanced_ok && copy.is<ast::Sequence>();
      }
    }
    auto u = Parser(std::string(levels, '{') + "x").parse();
    unclosed_ok = u.ok();
  });
  EXPECT_TRUE(balanced_ok);
  EXPECT_TRUE(unclosed_ok);
  std::cout << "stack used at " << levels << " levels: " << used << " bytes of " << kSmallStack << "\n";
  RecordProperty("stack_bytes_at_bound", static_cast<int>(used));
}

TEST(NestingTest, FarPastTheBoundOnASmallStack) {
  bool got_error = false;
  testing::run_with_stack(kSmallStack, [&] {
    auto r = Parser(balanced(100000)).parse();
    got_error = !r.ok() && r.error().fatal && r.error().message == kNestedTooDeeply;
  });
  EXPECT_TRUE(got_error);
}

// Reports the stack cost of one nesting level (the difference between two
// depths, so the fixed part drops out). Informative: the bound is chosen so
// that the deepest parse stays far inside a 256 KiB stack.
TEST(NestingTest, StackBytesPerLevel) {
  const std::size_t deep = kMaxNestingDepth - 1;
  const std::size_t shallow = deep / 2;
  for (const NestPattern& p : kNestPatterns) {
    auto measure = [&p](std::size_t levels) {
      return testing::run_with_stack(8 * 1024 * 1024,
                                     [&p, levels] { ASSERT_TRUE(Parser(nested(p, levels)).parse().ok()); });
    };
    const std::size_t used_deep = measure(deep);
    const std::size_t used_shallow = measure(shallow);
    ASSERT_GT(used_deep, used_shallow);
    const std::size_t per_level = (used_deep - used_shallow) / (deep - shallow);
    std::cout << "nesting " << p.open << "x" << p.close << ": " << per_level << " stack bytes per level, "
              << used_deep << " at " << deep << " levels\n";
    RecordProperty(std::string("stack_bytes_per_level ") + p.open, static_cast<int>(per_level));
    EXPECT_LT(used_deep, kSmallStack);
  }
}

}  // namespace
}  // namespace quorvix::parser
