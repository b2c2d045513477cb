// \left groups on inputs built to make their recovery expensive: bodies that
// fail inside groups that are read again, unreadable delimiters and
// unfinished groups, forty deep and long.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "parser/parser.h"
#include "pathological_inputs.h"

namespace quorvix::parser {
namespace {

using testing::repeat;

double seconds_to_parse(const std::string& text, Result<ast::Expr>& out) {
  const auto start = std::chrono::steady_clock::now();
  out = Parser(text).parse();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(DelimitersPathologicalTest, FailingBodiesInGroupsReadAgainFortyDeep) {
  // Each unclosed group fails and is read again from its brace; the \left
  // body inside fails each time unless its failure is remembered.
  // The failing \big at the end is the failure of every body around it.
  struct Unit {
    const char* text;
    std::size_t times;  // as many as the nesting bound allows, up to forty \left groups
  };
  const Unit units[] = {
      {"{\\left(", 40},
      {"{\\left(\\frac{", 20},
      {"\\left(\\sqrt{{\\left[", 20},
  };
  for (const Unit& u : units) {
    Result<ast::Expr> r = ast::Expr();
    const double seconds = seconds_to_parse(repeat(u.text, u.times) + "x\\big\\foo", r);
    ASSERT_FALSE(r.ok()) << u.text;
    EXPECT_EQ(r.error().message, "unsupported big delimiter: \\foo") << u.text;
    EXPECT_LT(seconds, 1.0) << u.text;
  }
}

TEST(DelimitersPathologicalTest, LongFlatRunsStayLinear) {
  const std::size_t n = 20000;
  const std::string inputs[] = {
      repeat("\\left\\foo x ", n),           // each \left stays raw
      repeat("\\left( x \\right\\foo ", n),  // each \right stays raw
      repeat("\\left( x \\right) ", n),
  };
  for (const std::string& text : inputs) {
    Result<ast::Expr> r = ast::Expr();
    const double seconds = seconds_to_parse(text, r);
    EXPECT_TRUE(r.ok()) << text.substr(0, 24);
    EXPECT_LT(seconds, 2.0) << text.substr(0, 24);
  }
}

}  // namespace
}  // namespace quorvix::parser
