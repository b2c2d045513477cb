// The chemistry and physics shorthands nested to the bound and far past it
// on a small stack, failing bodies nested forty deep, and long runs of them.
// Their bodies are parsed as ranges of the text, so each level of these
// commands costs two levels of nesting: the command and its body.
#include <gtest/gtest.h>

#include <string>

#include "ast/nesting.h"
#include "parser/parser.h"
#include "pathological_inputs.h"
#include "small_stack.h"

namespace quorvix::parser {
namespace {

using testing::kSmallStack;
using testing::nested;
using testing::NestPattern;
using testing::parse_counting;
using testing::Parsed;
using testing::repeat;

constexpr NestPattern kPatterns[] = {
    {"\\qty(", ")"},        {"\\qty\\big{}[", "]"}, {"\\quantity{", "}"}, {"\\abs{", "}"},
    {"\\norm*\\Big[", "]"}, {"\\abs ", ""},  // the rest of the group as the body
    {"\\comm{a}{", "}"},    {"\\comm{", "}{b}"},    {"\\pmqty{a&", "}"},  {"\\bmqty(", ")"},
    {"\\bmqty{a\\\\", "}"}, {"\\xmat{a}{b}{", "}"}, {"\\zmat*{", "}{b}"}, {"\\ce{", "}"},
    {"\\ce{^{", "}_{6}C}"}, {"\\ce{^2_", "}"},      {"\\cases{a&", "}"},
};

bool is_nesting_error(const Result<ast::Expr>& r) {
  return !r.ok() && r.error().fatal && r.error().message == kNestedTooDeeply;
}

TEST(PhysicsNestingTest, FarPastTheBoundFailsCleanlyOnASmallStack) {
  for (const NestPattern& p : kPatterns) {
    bool nesting_error = false;
    testing::run_with_stack(kSmallStack,
                            [&] { nesting_error = is_nesting_error(Parser(nested(p, 100000)).parse()); });
    EXPECT_TRUE(nesting_error) << p.open;
  }
}

// The deepest nesting that parses fits the small stack, and one level more
// gives the nesting error (not another failure).
TEST(PhysicsNestingTest, AtTheBoundOnASmallStack) {
  for (const NestPattern& p : kPatterns) {
    std::size_t deepest = 0;
    while (deepest <= kMaxNestingDepth && Parser(nested(p, deepest + 1)).parse().ok()) ++deepest;
    EXPECT_GE(deepest, kMaxNestingDepth / 2 - 1) << p.open;
    EXPECT_LT(deepest, kMaxNestingDepth) << p.open;
    bool deepest_ok = false;
    bool past_is_nesting_error = false;
    testing::run_with_stack(kSmallStack, [&] {
      deepest_ok = Parser(nested(p, deepest)).parse().ok();
      past_is_nesting_error = is_nesting_error(Parser(nested(p, deepest + 1)).parse());
    });
    EXPECT_TRUE(deepest_ok) << p.open;
    EXPECT_TRUE(past_is_nesting_error) << p.open;
  }
}

// Bodies that cannot be closed, nested forty deep: the failure comes back
// at once with its message; groups around them fail once each.
TEST(PhysicsNestingTest, UnclosedBodiesFortyDeep) {
  const std::size_t n = 40;
  const struct {
    std::string text;
    const char* message;
  } cases[] = {
      {repeat("\\abs(", n) + "x", "unterminated physics delimiter for \\abs"},
      {repeat("\\qty[", n) + "x", "unterminated physics delimiter for \\qty"},
      {repeat("{\\abs(", n) + "x", "unterminated physics delimiter for \\abs"},
      {repeat("\\qty(", n) + "\\abs|x" + repeat(")", n), "unterminated physics delimiter for \\abs"},
      {repeat("\\pmqty{a&", n) + "\\norm|x" + repeat("}", n), "unterminated physics delimiter for \\norm"},
      // The inner command's missing argument meets the closing brace.
      {repeat("\\comm{a}{", n) + "\\comm{x}" + repeat("}", n), "expected '}', found None"},
      {repeat("\\comm{a}", n), "expected comm argument"},
  };
  for (const auto& c : cases) {
    const Parsed p = parse_counting(c.text);
    ASSERT_FALSE(p.result.ok()) << c.text.substr(0, 40);
    EXPECT_EQ(p.result.error().message, c.message) << c.text.substr(0, 40);
    EXPECT_LE(p.failed_attempts, n) << c.text.substr(0, 40);
  }
}

TEST(PhysicsNestingTest, LongFlatRuns) {
  const std::size_t n = 5000;
  const std::string inputs[] = {
      repeat("\\qty(a)", n),
      repeat("\\abs|a|\\norm[b]", n),
      repeat("\\pmqty{a&b\\\\c&d}", n),
      repeat("\\ce{^{14}_{6}C}\\ce{H2O}", n),
      repeat("\\xmat{a}{b}{c}", n),
      "\\qty(" + repeat("(a", n) + repeat(")", n) + ")",  // one body of many nested pairs
      "\\pmqty{" + repeat("a&b\\\\", n) + "}",
      "\\cases{" + repeat("a&b\\\\", n) + "}",
  };
  for (const std::string& text : inputs) {
    Result<ast::Expr> r = Parser(text).parse();
    EXPECT_TRUE(r.ok()) << text.substr(0, 40) << ": " << (r.ok() ? "" : r.error().message);
  }
}

}  // namespace
}  // namespace quorvix::parser
