// \left ... \right groups, \middle and the delimiter size words through whole
// parses (input -> compact dump of the tree), and the size-word skipper.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "parse_test_util.h"
#include "parser/commands/left_right_delimiter.h"

namespace quorvix::parser {
namespace {

using testing::expect_parses;

TEST(DelimitersParseTest, FencesAndFlatRuns) {
  expect_parses({
      // Pairs the format draws: characters, control symbols, names.
      {R"(\left( x \right))", R"(Seq[Delimited('(', ')', Seq[Char('x')])])"},
      {R"(\left\langle x \right\rangle)", R"(Seq[Delimited(U+3008, U+3009, Seq[Char('x')])])"},
      {R"(\left| x \right\rangle)", R"(Seq[Delimited('|', U+3009, Seq[Char('x')])])"},
      {R"(\left\| x \right\Vert)", R"(Seq[Delimited(U+2016, U+2016, Seq[Char('x')])])"},
      {R"(\left\lbrace x \right\})", R"(Seq[Delimited('{', '}', Seq[Char('x')])])"},
      // One side is `.`: a one-sided fence, 1 when the right one shows.
      {R"(\left. x \right|)", R"(Seq[OneSided('|', 1, Seq[Char('x')])])"},
      {R"(\left\{ x \right.)", R"(Seq[OneSided('{', 0, Seq[Char('x')])])"},
      {R"(\left.x\right\rceil)", R"(Seq[OneSided(U+2309, 1, Seq[Char('x')])])"},
      // No pair: two characters become ordinary characters around the body.
      {R"(\left( x \right])", R"(Seq[Seq[Char('('), Char('x'), Char(']')]])"},
      {R"(\left. x \right a)", R"(Seq[Seq[Char('.'), Char('x'), Char('a')]])"},
      // Two named symbols keep the body as one item between them.
      {R"(\left\langle x y \right\lceil)",
       R"(Seq[Seq[CommandSymbol("langle", U+3008), Seq[Char('x'), Char('y')], CommandSymbol("lceil", U+2308)]])"},
      // A named symbol with a character, or a name kept raw.
      {R"(\left\langle x \right|)", R"(Seq[Seq[CommandSymbol("langle", U+3008), Char('x'), Char('|')]])"},
      {R"(\left\lgroup x \right\rgroup)",
       R"(Seq[Seq[Raw("\\left\\lgroup"), Char('x'), Raw("\\right\\rgroup")]])"},
      {R"(\left\lt x \right))", R"(Seq[Seq[Raw("\\left\\lt"), Char('x'), Char(')')]])"},
      // Two `.`: the body between the delimiters kept as written, unless a
      // raw \middle and its fence lead the body.
      {R"(\left. x \right .)", R"(Seq[Seq[Raw("\\left."), Char('x'), Raw("\\right .")]])"},
      {R"(\left.\middle| x \right.)", R"(Seq[Seq[Raw("\\middle"), Char('|'), Char('x')]])"},
      // Nested groups and an infix command inside a body.
      {R"(\left( \left[ x \right] \right))",
       R"(Seq[Delimited('(', ')', Seq[Delimited('[', ']', Seq[Char('x')])])])"},
      {R"(\left( a \over b \right))", R"(Seq[Delimited('(', ')', Frac(Seq[Char('a')], Seq[Char('b')]))])"},
      {R"(\left[ n \choose k \right])",
       R"(Seq[Delimited('[', ']', Binomial(1, Seq[Char('n')], Seq[Char('k')]))])"},
  });
}

TEST(DelimitersParseTest, UnfinishedGroupsAndUnreadableDelimiters) {
  expect_parses({
      // No \right: the opening stays raw as written, the body visible.
      {R"(\left( x)", R"(Seq[Seq[Raw("\\left("), Char('x')]])"},
      {R"(\left ( x)", R"(Seq[Seq[Raw("\\left ("), Char('x')]])"},
      // An unreadable left delimiter leaves \left raw; the rest is ordinary input.
      {R"(\left\foo x \right))", R"x(Seq[Raw("\\left\\foo"), Char('x'), Raw(" \\right)")])x"},
      {R"(\left)", R"(Seq[Raw("\\left")])"},
      // An unreadable right delimiter: a raw \right closes the partial form.
      {R"(\left( x \right\foo y)",
       R"(Seq[Seq[Raw("\\left("), Char('x'), Raw("\\right")], Raw("\\foo"), Char('y')])"},
      {R"(\left( x \right)", R"(Seq[Seq[Raw("\\left("), Char('x'), Raw("\\right")]])"},
      // \right with a letter after it is no \right.
      {R"(\left( x \rightarrow)", R"(Seq[Seq[Raw("\\left("), Char('x'), Char(U+2192)]])"},
  });
}

TEST(DelimitersParseTest, MiddleAndSizeWords) {
  expect_parses({
      {R"(\middle|)", R"(Seq[Raw("\\middle"), Char('|')])"},
      {R"(\middle\langle)", R"(Seq[Raw("\\middle"), CommandSymbol("langle", U+3008)])"},
      {R"(\middle.x)", R"(Seq[Raw("\\middle"), Char('x')])"},
      {R"(\middle\lgroup)", R"(Seq[Raw("\\middle\\lgroup")])"},
      {R"(\middle\foo)", R"(Seq[Raw("\\middle\\foo")])"},
      {R"(\middle)", R"(Seq[Raw("\\middle")])"},
      {R"(\Bigl( x \Bigr))", R"(Seq[SizedDelimiter('('), Char('x'), SizedDelimiter(')')])"},
      {R"(\bigg\langle)", R"(Seq[SizedDelimiter(U+3008)])"},
      {R"(\Big)", R"(Seq[])"},
      {R"(\big)", R"(Seq[])"},
      // A failed delimiter: the size word vanishes, except after \big.
      {R"(\Big\foo x)", R"(Seq[Raw("\\foo"), Char('x')])"},
      {R"(\big\foo x)", R"(error: unsupported big delimiter: \foo)"},
      // The m forms are no size words here.
      {R"(\bigm|)", R"(Seq[Raw("\\bigm"), Char('|')])"},
  });
}

// A script after a fence around a bare operator with limits: the fence stays
// raw around the visible operator, the marker with the closing fence.
TEST(DelimitersParseTest, ScriptAfterAFencedOperator) {
  expect_parses({
      {R"(\left( \sum_{i} \right)^{n})",
       R"x(Seq[Seq[Raw("\\left("), BigOp(Sum, lower=Char('i')), Raw(" \\right)^"), Char('n')]])x"},
      {R"(\left\langle \prod^n \right\rangle_k)",
       R"(Seq[Seq[Raw("\\left\\langle"), BigOp(Prod, upper=Char('n')), Raw(" \\right\\rangle_"), Char('k')]])"},
      // Without limits the fence takes the script.
      {R"(\left( \sum \right)^{n})", R"(Seq[Script(Delimited('(', ')', Seq[BigOp(Sum)]), sup=Char('n'))])"},
  });
}

TEST(DelimitersParseTest, ParenthesisedModulo) {
  expect_parses({
      {R"(a\pmod{n})",
       R"(Seq[Char('a'), Seq[Space(5), Delimited('(', ')', Seq[FunctionName("mod"), Seq[Char('n')]])]])"},
      {R"(\pod n)", R"(Seq[Seq[Space(5), Delimited('(', ')', Char('n'))]])"},
  });
}

TEST(DelimitersParseTest, SkippingASizeWord) {
  struct SkipCase {
    const char* input;
    std::optional<std::string_view> word;
    std::size_t pos_after;
  };
  const SkipCase cases[] = {
      {"  \\Bigl(", "Bigl", 7},       {"\\biggm|", "biggm", 6}, {"\\Bigg", "Bigg", 5},
      {" \\bigger", std::nullopt, 1}, {"  x", std::nullopt, 2}, {"\\left", std::nullopt, 0},
  };
  for (const SkipCase& c : cases) {
    Parser p(c.input);
    EXPECT_EQ(consume_optional_ignored_delimiter_size_command(p), c.word) << c.input;
    EXPECT_EQ(p.pos(), c.pos_after) << c.input;
  }
}

}  // namespace
}  // namespace quorvix::parser
