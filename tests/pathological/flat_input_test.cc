// Long flat inputs and repeated recoveries: linear work, no blow-up.
#include <string>

#include <gtest/gtest.h>

#include "ast/nesting.h"
#include "ffi/convert.h"
#include "parser/parser.h"
#include "pathological_inputs.h"
#include "small_stack.h"

namespace quorvix::parser {
namespace {

using testing::repeat;

const ast::ExprList& items_of(const Result<ast::Expr>& r) { return r.value().as<ast::Sequence>().items; }

TEST(FlatInputTest, MegabyteOfSums) {
  auto r = Parser(repeat("a+", 512 * 1024)).parse();
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(items_of(r).size(), 1024u * 1024u);
}

TEST(FlatInputTest, LongRunsOfRawTextMergeIntoOneLeaf) {
  auto braces = Parser(repeat("}", 1000000)).parse();
  ASSERT_TRUE(braces.ok());
  ASSERT_EQ(items_of(braces).size(), 1u);
  EXPECT_EQ(items_of(braces)[0].as<ast::RawTex>().text.size(), 1000000u);

  auto commands = Parser(repeat("\\foo ", 200000)).parse();
  ASSERT_TRUE(commands.ok());
  ASSERT_EQ(items_of(commands).size(), 1u);
  EXPECT_EQ(items_of(commands)[0].as<ast::RawTex>().text.size(), 5u * 200000u - 1);
}

TEST(FlatInputTest, ManyGroups) {
  auto empty = Parser(repeat("{}", 500000)).parse();
  ASSERT_TRUE(empty.ok());
  EXPECT_TRUE(items_of(empty).empty());

  auto groups = Parser(repeat("{a{b}}", 100000)).parse();
  ASSERT_TRUE(groups.ok());
  EXPECT_EQ(items_of(groups).size(), 100000u);
}

TEST(FlatInputTest, UnclosedBracesAreRetriedOnlyOnce) {
  // Literal re-parsing would take 2^40 steps here.
  auto forty = Parser(std::string(40, '{') + "x").parse();
  ASSERT_TRUE(forty.ok());
  ASSERT_EQ(items_of(forty).size(), 2u);
  EXPECT_EQ(items_of(forty)[0].as<ast::RawTex>().text, std::string(40, '{'));

  // The worst case the bound allows, with a long tail re-read on every level.
  const std::size_t levels = kMaxNestingDepth - 1;
  auto deepest = Parser(std::string(levels, '{') + repeat("a+", 5000)).parse();
  ASSERT_TRUE(deepest.ok());
  EXPECT_EQ(items_of(deepest).size(), 1u + 10000u);
}

TEST(FlatInputTest, LongScriptChainIsFoldedWithoutRecursion) {
  // x^a^a^a... nests one Script per script: a chain 100 000 deep, built by
  // the script loop, copied and destroyed, all on a small stack.
  const std::size_t n = 100000;
  const std::string chain = "x" + repeat("^a", n);
  bool ok = false;
  std::size_t depth = 0;
  testing::run_with_stack(256 * 1024, [&] {
    auto r = Parser(chain).parse();
    if (!r.ok()) return;
    const ast::Expr copy = r.value();
    const ast::Expr* cur = &copy.as<ast::Sequence>().items.front();
    while (const auto* script = cur->get_if<ast::Script>()) {
      ++depth;
      cur = script->base.get();
    }
    ok = cur->is<ast::Char>();
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(depth, n);
}

TEST(FlatInputTest, ScriptChainDeeperThanTheWriterTakesIsANestingError) {
  // The parser accepts any chain; the writer refuses trees deeper than its
  // bound before writing anything.
  auto r = ffi::convert_latex("x" + repeat("^a", 10000), std::nullopt);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().message, kNestedTooDeeply);
}

TEST(FlatInputTest, ManyScriptedAtomsAndOperators) {
  auto scripts = Parser(repeat("x_1^{2}' ", 100000)).parse();
  ASSERT_TRUE(scripts.ok());
  EXPECT_EQ(items_of(scripts).size(), 100000u);

  auto sums = Parser(repeat("\\sum_{i}^{n} a_i + ", 50000)).parse();
  ASSERT_TRUE(sums.ok());
  EXPECT_EQ(items_of(sums).size(), 100000u);

  auto primes = Parser(repeat("x^{y^{''}}", 50000)).parse();
  ASSERT_TRUE(primes.ok());
  EXPECT_EQ(items_of(primes).size(), 50000u);
}

TEST(FlatInputTest, UnclosedScriptGroupsAreRetriedOnlyOnce) {
  // Literal re-parsing would take 2^40 steps here.
  auto forty = Parser(repeat("x^{", 40) + "x").parse();
  ASSERT_TRUE(forty.ok());

  // The deepest the bound allows, with a long tail re-read on every level.
  auto deepest = Parser(repeat("x_{", kMaxNestingDepth - 1) + repeat("a+", 5000)).parse();
  ASSERT_TRUE(deepest.ok());
}

}  // namespace
}  // namespace quorvix::parser
