// Environments on inputs built to make their recovery expensive: bodies that
// cannot be read nested forty deep (each kept raw and read again by the one
// around it), mismatched names, and long bodies at the nesting bound.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "ast/nesting.h"
#include "parser/parser.h"
#include "pathological_inputs.h"

namespace quorvix::parser {
namespace {

using testing::parse_counting;
using testing::Parsed;
using testing::repeat;

// Without their \end, no body is attempted at all: each environment is kept
// raw once, inside the one around it.
TEST(EnvironmentsPathologicalTest, UnclosedEnvironmentsFortyDeep) {
  const std::size_t n = 40;
  for (const char* unit :
       {"\\begin{pmatrix}", "\\begin{align}a&", "\\begin{cases}x\\\\", "\\begin{subarray}{c}",
        "\\begin{pmatrix}\\begin{gather}", "\\begin{smallmatrix}\\begin{Vmatrix}"}) {
    const Parsed p = parse_counting(repeat(unit, n) + "x");
    ASSERT_TRUE(p.result.ok()) << unit << ": " << p.result.error().message;
    EXPECT_EQ(p.failed_attempts, 0u) << unit;
  }
  // An array reads its column specifier before it knows; each fails once.
  const Parsed arrays = parse_counting(repeat("\\begin{array}{c}", n) + "x");
  ASSERT_TRUE(arrays.result.ok());
  EXPECT_EQ(arrays.failed_attempts, n);
  // Unclosed groups around them fail once each too.
  const Parsed grouped = parse_counting(repeat("{\\begin{pmatrix}", n / 2) + "x");
  ASSERT_TRUE(grouped.result.ok());
  EXPECT_EQ(grouped.failed_attempts, n / 2);
}

// With closings that do not fit, every environment fails once and is read
// again from the memo by the ones around it.
TEST(EnvironmentsPathologicalTest, MismatchedClosingsFortyDeep) {
  const std::size_t n = 40;
  const std::string inputs[] = {
      repeat("\\begin{pmatrix}", n) + "x" + "\\end{pmatrix}",
      repeat("\\begin{pmatrix}", n) + "x" + repeat("\\end{bmatrix}", n) + "\\end{pmatrix}",
      repeat("\\begin{pmatrix}\\begin{bmatrix}", n / 2) + "x" + repeat("\\end{pmatrix}\\end{bmatrix}", n / 2),
      repeat("\\begin{align}a&", n) + "x" + repeat("\\end{align}", n / 2),
  };
  for (const std::string& text : inputs) {
    const Parsed p = parse_counting(text);
    ASSERT_TRUE(p.result.ok()) << text.substr(0, 40) << ": " << p.result.error().message;
    EXPECT_LE(p.failed_attempts, n) << text.substr(0, 40);
  }
}

// The deepest environments the bound allows, each holding a long body: the
// failed attempts stay one per level.
TEST(EnvironmentsPathologicalTest, LongBodiesAtTheBound) {
  const std::size_t levels = kMaxNestingDepth - 2;
  const std::string tail = repeat("a+", 5000);
  const std::string inputs[] = {
      repeat("\\begin{pmatrix}", levels) + tail,
      repeat("\\begin{pmatrix}", levels) + tail + "\\end{pmatrix}",
      repeat("\\begin{array}{c}", levels) + tail + "\\end{array}",
  };
  for (const std::string& text : inputs) {
    const Parsed p = parse_counting(text);
    ASSERT_TRUE(p.result.ok()) << text.substr(0, 40) << ": " << p.result.error().message;
    EXPECT_LE(p.failed_attempts, levels) << text.substr(0, 40);
  }
}

TEST(EnvironmentsPathologicalTest, LongFlatRuns) {
  const std::size_t n = 5000;
  const std::string inputs[] = {
      repeat("\\begin{pmatrix}a&b\\\\c&d\\end{pmatrix}", n),
      repeat("\\begin{pmatrix}a\\\\b\\end{bmatrix}\\end{pmatrix}", n),  // each kept raw
      "\\begin{align}" + repeat("a&=b\\label{x}\\\\", n) + "\\end{align}",
      "\\begin{array}{c}" + repeat("\\hline a\\\\", n) + "\\end{array}",
      repeat("\\matrix{a&b\\cr c}", n),
  };
  for (const std::string& text : inputs) {
    Result<ast::Expr> r = Parser(text).parse();
    EXPECT_TRUE(r.ok()) << text.substr(0, 40);
  }
}

}  // namespace
}  // namespace quorvix::parser
