// The command dispatcher holds one nesting level for each command, so every
// handler is bounded without a scope of its own, and a command inside a
// group costs the same single level as any other atom.
#include <gtest/gtest.h>

#include <list>
#include <string>

#include "ast/nesting.h"
#include "parse_test_util.h"

namespace quorvix::parser {
namespace {

void expect_nesting_error(const Result<ast::Expr>& r, const std::string& what) {
  ASSERT_FALSE(r.ok()) << what;
  EXPECT_EQ(r.error().message, kNestedTooDeeply) << what;
  EXPECT_TRUE(r.error().fatal) << what;
}

// With `held` levels already in use, the dispatcher takes one more for the
// handler: at the bound it refuses to run it.
TEST(DispatchNestingTest, TheDispatcherTakesOneLevelForEveryHandler) {
  for (const char* command : {"foo x", "{", "\\"}) {
    for (const std::size_t held : {kMaxNestingDepth - 1, kMaxNestingDepth}) {
      Parser p(command);
      std::list<Parser::NestingScope> scopes;
      for (std::size_t i = 0; i < held; ++i) scopes.emplace_back(p);
      const std::string what = std::string("\\") + command + " with " + std::to_string(held) + " levels held";
      auto r = p.read_command();
      if (held < kMaxNestingDepth) {
        EXPECT_TRUE(r.ok()) << what;
        EXPECT_EQ(p.nesting(), held) << what;  // the level is given back
      } else {
        expect_nesting_error(r, what);
      }
    }
  }
}

std::string inside_groups(std::size_t levels, std::string_view atom) {
  return std::string(levels, '{') + std::string(atom) + std::string(levels, '}');
}

// A command is one level, like a letter: the deepest group that may hold a
// letter may hold a command, and one group more fails for both.
TEST(DispatchNestingTest, ACommandIsOneLevelLikeAnyAtom) {
  for (const char* atom : {"x", "\\foo", "\\{"}) {
    EXPECT_TRUE(Parser(inside_groups(kMaxNestingDepth - 1, atom)).parse().ok()) << atom;
    expect_nesting_error(Parser(inside_groups(kMaxNestingDepth, atom)).parse(), atom);
  }
}

// Commands reached through sub-parsers count on top of the parent's levels.
TEST(DispatchNestingTest, SubParserCommandsContinueTheCount) {
  Parser p("");
  std::list<Parser::NestingScope> scopes;
  for (std::size_t i = 0; i + 2 < kMaxNestingDepth; ++i) scopes.emplace_back(p);
  // The sub-parser is one level and its command one more.
  EXPECT_TRUE(p.parse_macro_replacement("\\foo").ok());
  scopes.emplace_back(p);
  expect_nesting_error(p.parse_macro_replacement("\\foo"), "sub-parser command at the bound");
  EXPECT_TRUE(p.parse_macro_replacement("").ok());
}

}  // namespace
}  // namespace quorvix::parser
