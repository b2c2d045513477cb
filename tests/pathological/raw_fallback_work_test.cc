// Failing command arguments, options and kept-raw constructs nested many
// levels deep: every failed attempt is made once, so the work stays linear
// in the nesting, and long flat runs of them stay flat.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "ast/dump.h"
#include "ast/nesting.h"
#include "parser/parser.h"
#include "pathological_inputs.h"
#include "support/tree_depth.h"

namespace quorvix::parser {
namespace {

using testing::parse_counting;
using testing::Parsed;
using testing::repeat;

const ast::ExprList& items_of(const Result<ast::Expr>& r) { return r.value().as<ast::Sequence>().items; }

using test_support::tree_depth;

// Literal re-parsing after each failure would take 2^40 steps on these; each
// level's failed attempt is made once and read again from the memo.
TEST(RawFallbackWorkTest, FortyNestedFailingArgumentsFailOnceEach) {
  const std::size_t n = 40;
  {
    Parsed p = parse_counting(repeat("\\mathbf{", n) + "x");
    ASSERT_TRUE(p.result.ok());
    // Before the final pass that joins raw leaves.
    EXPECT_EQ(ast::dump(p.result.value()),
              "Seq[" + repeat("Raw(\"\\\\mathbf\"), Raw(\"{\"), ", n) + "Char('x')]");
    EXPECT_EQ(p.failed_attempts, n);
  }
  {
    // Three kinds of argument taking turns.
    Parsed p = parse_counting(repeat("\\textsf{\\mathbf{\\mathcal{", n / 4) + "x");
    ASSERT_TRUE(p.result.ok());
    EXPECT_EQ(p.failed_attempts, 3 * (n / 4));
  }
  {
    // Accents, bars and arrows over unclosed groups.
    Parsed p = parse_counting(repeat("\\hat{\\overline{\\vec{", n / 4) + "x");
    ASSERT_TRUE(p.result.ok());
    EXPECT_EQ(p.failed_attempts, 3 * (n / 4));
  }
  {
    // Unclosed options after raw commands.
    Parsed p = parse_counting(repeat("\\foo[", n) + "x");
    ASSERT_TRUE(p.result.ok());
    EXPECT_EQ(ast::dump(p.result.value()),
              "Seq[" + repeat("Raw(\"\\\\foo\"), Char('['), ", n) + "Char('x')]");
    EXPECT_EQ(p.failed_attempts, n);
  }
  {
    // Failing colour content inside options.
    Parsed p = parse_counting(repeat("\\foo[\\textcolor{red}{", n / 2) + "x");
    ASSERT_TRUE(p.result.ok());
    EXPECT_EQ(p.failed_attempts, n);
  }
}

TEST(RawFallbackWorkTest, FortyNestedKeptRawConstructsNeedNoRetry) {
  const std::size_t n = 40;
  for (const std::string& text :
       {repeat("\\begin{x}", n) + "a", repeat("\\begin{x}", n) + "a" + repeat("\\end{x}", n),
        repeat("\\foo\\big ", n) + "a", repeat("\\displaystyle ", n) + "a"}) {
    Parsed p = parse_counting(text);
    ASSERT_TRUE(p.result.ok()) << text;
    EXPECT_EQ(p.failed_attempts, 0u) << text;
    // One level of the tree (at least) per level of the input.
    const std::size_t depth = tree_depth(p.result.value());
    EXPECT_GE(depth, n) << text;
  }
}

TEST(RawFallbackWorkTest, TheDeepestFailingArgumentsWithALongTail) {
  // Every level reads the tail again once: bounded by the nesting bound
  // times the input length.
  const std::size_t levels = kMaxNestingDepth - 1;
  for (const char* unit : {"\\mathbf{", "\\foo[", "\\textcolor{red}{"}) {
    Parsed p = parse_counting(repeat(unit, levels) + repeat("a+", 5000));
    ASSERT_TRUE(p.result.ok()) << unit;
    EXPECT_LE(p.failed_attempts, 2 * levels) << unit;
  }
}

TEST(RawFallbackWorkTest, LongFlatRuns) {
  auto options = Parser(repeat("\\foo[a]", 100000)).parse();
  ASSERT_TRUE(options.ok());
  EXPECT_EQ(items_of(options).size(), 100000u);

  auto environments = Parser(repeat("\\begin{x}a\\end{x}", 50000)).parse();
  ASSERT_TRUE(environments.ok());
  EXPECT_EQ(items_of(environments).size(), 50000u);

  auto fonts = Parser(repeat("\\mathbf{x}\\label{z}\\textcolor{red}{y}", 50000)).parse();
  ASSERT_TRUE(fonts.ok());
  EXPECT_EQ(items_of(fonts).size(), 100000u);
}

}  // namespace
}  // namespace quorvix::parser
