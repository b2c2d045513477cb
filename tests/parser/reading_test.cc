// Reading helpers: groups, brackets, stars, whitespace, primitives, lookahead.
#include <gtest/gtest.h>

#include "parse_test_util.h"

namespace quorvix::parser {
namespace {

using testing::dump_result;

TEST(ReadingTest, RawGroupCountsBracesVerbatim) {
  Parser ok("  {a{b}c}rest");
  auto r = ok.parse_raw_group("label");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value(), "a{b}c");
  EXPECT_EQ(ok.peek(), U'r');

  Parser escaped("{a\\}b}");  // a backslash does not escape a brace here
  EXPECT_EQ(escaped.parse_raw_group("label").value(), "a\\");
  EXPECT_EQ(escaped.peek(), U'b');

  Parser unterminated("{a{b}c");
  auto u = unterminated.parse_raw_group("label");
  ASSERT_FALSE(u.ok());
  EXPECT_EQ(u.error().message, "unterminated braced label");
  EXPECT_TRUE(unterminated.at_end());

  Parser missing(" x");
  auto m = missing.parse_raw_group("label");
  ASSERT_FALSE(m.ok());
  EXPECT_EQ(m.error().message, "expected braced label");
}

// Groups nested deeper than the matcher keeps inline, and a table whose
// memory comes from an earlier, longer text.
TEST(ReadingTest, RawGroupMatchesDeepAndReusedTables) {
  const std::string deep = std::string(40, '{') + "x" + std::string(40, '}');
  Parser nested(deep + "rest");
  auto r = nested.parse_raw_group("label");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value(), deep.substr(1, deep.size() - 2));
  EXPECT_EQ(nested.peek(), U'r');

  {
    Parser longer("{ab}" + std::string(200, 'a'));
    ASSERT_EQ(longer.parse_raw_group("label").value(), "ab");
  }
  // The first brace closed at 3 in the longer text; here it is not closed.
  Parser shorter("{a{b}c");
  auto u = shorter.parse_raw_group("label");
  ASSERT_FALSE(u.ok());
  EXPECT_EQ(u.error().message, "unterminated braced label");
}

TEST(ReadingTest, RequiredGroups) {
  Parser braced(" {a b}c");
  EXPECT_EQ(dump_result(braced.parse_required_group("fraction numerator")), "Seq[Char('a'), Char('b')]");
  EXPECT_EQ(braced.peek(), U'c');

  for (const char* input : {"a", "", "  "}) {
    Parser p(input);
    EXPECT_EQ(dump_result(p.parse_required_group("fraction numerator")),
              "error: expected braced fraction numerator")
        << input;
  }

  Parser unclosed("{a");
  EXPECT_EQ(dump_result(unclosed.parse_required_group("x")), "error: expected '}', found None");

  Parser atom(" ab");
  EXPECT_EQ(dump_result(atom.parse_required_group_or_atom("ctx")), "Char('a')");
  EXPECT_EQ(atom.peek(), U'b');
  Parser group("{ab}");
  EXPECT_EQ(dump_result(group.parse_required_group_or_atom("ctx")), "Seq[Char('a'), Char('b')]");
  Parser end("  ");
  EXPECT_EQ(dump_result(end.parse_required_group_or_atom("modulo argument")),
            "error: expected modulo argument");
}

TEST(ReadingTest, OptionalBracketAndStar) {
  Parser none("  x");
  auto n = none.parse_optional_bracket_group();
  ASSERT_TRUE(n.ok());
  EXPECT_FALSE(n.value().has_value());
  EXPECT_EQ(none.pos(), 2u);  // the whitespace stays consumed

  Parser some(" [a}]b");
  auto s = some.parse_optional_bracket_group();
  ASSERT_TRUE(s.ok());
  ASSERT_TRUE(s.value().has_value());
  EXPECT_EQ(ast::dump(*s.value()), "Seq[Char('a'), Raw(\"}\")]");
  EXPECT_EQ(some.peek(), U'b');

  Parser open("[a");
  auto o = open.parse_optional_bracket_group();
  ASSERT_FALSE(o.ok());
  EXPECT_EQ(o.error().message, "expected ']', found None");

  Parser star(" *x");
  EXPECT_TRUE(star.consume_optional_star());
  EXPECT_EQ(star.peek(), U'x');
  Parser no_star(" x");
  EXPECT_FALSE(no_star.consume_optional_star());
  EXPECT_EQ(no_star.pos(), 1u);
}

TEST(ReadingTest, WhitespacePrimitivesAndLookahead) {
  Parser ws("\xC2\xA0\xE3\x80\x80 x");  // U+00A0, U+3000, space
  EXPECT_EQ(ws.consume_raw_whitespace(), "\xC2\xA0\xE3\x80\x80 ");
  EXPECT_EQ(ws.pos(), 3u);
  EXPECT_EQ(ws.consume_raw_whitespace(), "");

  Parser zwsp("\xE2\x80\x8Bx");  // U+200B is not white space
  zwsp.skip_ws();
  EXPECT_EQ(zwsp.pos(), 0u);

  Parser primitive("\\a\\b{c} d");
  EXPECT_EQ(primitive.consume_raw_primitive("futurelet"), "\\futurelet\\a\\b{c}");
  EXPECT_EQ(primitive.peek(), U' ');

  Parser word("  \\alpha x");
  EXPECT_EQ(word.peek_next_control_word(), "alpha");
  EXPECT_EQ(word.pos(), 0u);
  for (const char* input : {"\\,", "x", "\\", "  "}) {
    Parser p(input);
    EXPECT_EQ(p.peek_next_control_word(), std::nullopt) << input;
  }
}

}  // namespace
}  // namespace quorvix::parser
