// The chemistry and physics shorthands as trees: the command word stays raw
// and what it encloses is translated.
#include <gtest/gtest.h>

#include "parse_test_util.h"
#include "parser/physics/physics.h"

namespace quorvix::parser {
namespace {

using testing::expect_parses;

TEST(ChemistryTest, Argument) {
  expect_parses({
      {R"(\ce)", R"(Seq[Raw("\\ce")])"},
      {R"(\ce x)", R"(Seq[Raw("\\ce"), Char('x')])"},
      {R"(\ce{H2O})", R"(Seq[Seq[Raw("\\ce"), Char('H'), Char('2'), Char('O')]])"},
      // A superscript without an atomic number is translated as it stands.
      {R"(\ce{^14C})", R"(Seq[Seq[Raw("\\ce"), Script(Seq[], sup=Char('1')), Char('4'), Char('C')]])"},
      // An unclosed argument: the command stays raw and the brace is read
      // again as ordinary input.
      {R"(\ce{^{14}_{6}C)",
       R"(Seq[Raw("\\ce"), Script(Raw("{"), sub=Char('6'), sup=Seq[Char('1'), Char('4')]), Char('C')])"},
  });
}

TEST(ChemistryTest, Nuclides) {
  expect_parses({
      {R"(\ce{^{14}_{6}C})",
       R"(Seq[Seq[Raw("\\ce{^"), Char('1'), Char('4'), Raw("_"), Char('6'), Char('C'), Raw("}")]])"},
      // An unbraced run of letters and digits: its first character is a
      // subscript on an empty base.
      {R"(\ce{^14_6C})",
       R"(Seq[Seq[Raw("\\ce{^"), Char('1'), Char('4'), Script(Seq[], sub=Char('6')), Char('C'), Raw("}")]])"},
      {R"(\ce{^2_H2O})",
       R"(Seq[Seq[Raw("\\ce{^"), Char('2'), Script(Seq[], sub=Char('H')), Char('2'), Char('O'), Raw("}")]])"},
      // A run of digits ends the token before the letters.
      {R"(\ce{^{227}_{90}Th})",
       R"(Seq[Seq[Raw("\\ce{^"), Char('2'), Char('2'), Char('7'), Raw("_"), Char('9'), Char('0'), Char('T'),)"
       R"( Char('h'), Raw("}")]])"},
      // Signed tokens are never compact.
      {R"(\ce{^+_-x})", R"(Seq[Seq[Raw("\\ce{^"), Char('+'), Raw("_"), Char('-'), Char('x'), Raw("}")]])"},
      // No token after `_`: the whole argument is translated.
      {R"(\ce{^2_})", R"(Seq[Seq[Raw("\\ce"), Seq[Script(Seq[], sup=Char('2')), Raw("_")]]])"},
  });
}

TEST(PhysicsTest, SizeWrappers) {
  expect_parses({
      {R"(\abs*{x})", R"(Seq[Seq[Raw("\\abs"), Char('*'), Char('x')]])"},
      {R"(\abs\big(x))", R"(Seq[Seq[Raw("\\abs\\big"), Char('('), Char('x'), Char(')')]])"},
      {R"(\abs|x|)", R"(Seq[Seq[Raw("\\abs"), Char('|'), Char('x'), Char('|')]])"},
      {R"(\norm[x])", R"(Seq[Seq[Raw("\\norm"), Char('['), Char('x'), Char(']')]])"},
      // Without a delimiter or group the body is the rest of the group.
      {R"({\abs x + y}z)", R"(Seq[Seq[Seq[Raw("\\abs"), Char('x'), Char('+'), Char('y')]], Char('z')])"},
      {R"(\abs)", R"(Seq[Raw("\\abs")])"},
      {R"(\abs*\Big )", R"(Seq[Raw("\\abs*\\Big")])"},
      // Braces hide a closer; a nested pair is part of the body.
      {R"(\abs({)}))", R"(Seq[Seq[Raw("\\abs"), Char('('), Seq[Char(')')], Char(')')]])"},
      {R"(\abs((a)b)c)",
       R"(Seq[Seq[Raw("\\abs"), Char('('), Char('('), Char('a'), Char(')'), Char('b'), Char(')')], Char('c')])"},
      {R"(\comm{A}{B})", R"(Seq[Seq[Raw("\\comm"), Char('A'), Char('B')]])"},
      {R"(\poissonbracket*[f]g)",
       R"(Seq[Seq[Raw("\\poissonbracket"), Char('*'), Char('['), Char('f'), Char(']'), Char('g')]])"},
      {R"(\anticommutator{A}{B})", R"(Seq[Seq[Raw("\\anticommutator"), Char('A'), Char('B')]])"},
  });
}

TEST(PhysicsTest, Quantities) {
  expect_parses({
      {R"(\qty(a+b))", R"(Seq[Seq[Raw("\\qty"), Char('('), Char('a'), Char('+'), Char('b'), Char(')')]])"},
      {R"(\qty)", R"(Seq[Raw("\\qty")])"},
      {R"(\qty* )", R"(Seq[Raw("\\qty*")])"},
      // The size word is dropped in front of a body.
      {R"(\qty\Big[x])", R"(Seq[Seq[Raw("\\qty"), Char('['), Char('x'), Char(']')]])"},
      // An empty group after the size word keeps the word raw; a second
      // size word takes its place.
      {R"(\qty\big{}\Big(x))", R"(Seq[Seq[Raw("\\qty\\big"), Char('('), Char('x'), Char(')')]])"},
      {R"(\qty\big{ })", R"(Seq[Raw("\\qty\\big")])"},
      {R"(\qty\big{}\Big)", R"(Seq[Raw("\\qty\\big\\Big")])"},
      // A group with content is the body.
      {R"(\qty\big{x})", R"(Seq[Seq[Raw("\\qty"), Char('x')]])"},
      // Only \qty joins the size word: for \quantity the empty group is the body.
      {R"(\quantity\big{}(x))", R"(Seq[Raw("\\quantity"), Char('('), Char('x'), Char(')')])"},
  });
}

TEST(PhysicsTest, MatrixShorthands) {
  expect_parses({
      {R"(\pmqty{a & b \\ c & d})",
       R"(Seq[Hybrid[Raw("\\pmqty{"), Visible(Char('a')), Raw("&"), Visible(Char('b')), Raw("\\\\"),)"
       R"( Visible(Char('c')), Raw("&"), Visible(Char('d')), Raw("}")]])"},
      {R"(\pmqty*(a&b))",
       R"(Seq[Hybrid[Raw("\\pmqty"), Visible(Char('*')), Visible(Char('(')), Visible(Char('a')), Raw("&"),)"
       R"( Visible(Char('b')), Visible(Char(')'))]])"},
      {R"(\vmqty|a|)",
       R"(Seq[Hybrid[Raw("\\vmqty"), Visible(Char('|')), Visible(Char('a')), Visible(Char('|'))]])"},
      {R"(\mqty x)", R"(Seq[Hybrid[Raw("\\mqty"), Visible(Char('x'))]])"},
      {R"(\dmat)", R"(Seq[Raw("\\dmat")])"},
      {R"(\mqty* )", R"(Seq[Raw("\\mqty*")])"},
      // Separators inside braces and escaped ones belong to their cell;
      // blank cells are not shown.
      {R"(\mqty{{a&b}&c})",
       R"(Seq[Hybrid[Raw("\\mqty{"), Visible(Seq[Char('a'), Raw("&"), Char('b')]), Raw("&"), Visible(Char('c')),)"
       R"( Raw("}")]])"},
      {R"(\mqty{a\&b&c})",
       R"(Seq[Hybrid[Raw("\\mqty{"), Visible(Seq[Char('a'), Raw("\\&"), Char('b')]), Raw("&"),)"
       R"( Visible(Char('c')), Raw("}")]])"},
      {R"(\mqty{a\\})", R"(Seq[Hybrid[Raw("\\mqty{"), Visible(Char('a')), Raw("\\\\}")]])"},
      {R"(\mqty{})", R"(Seq[Hybrid[Raw("\\mqty{}")]])"},
      {R"(\xmat{a}{2}{3})", R"(Seq[Hybrid[Raw("\\xmat"), Visible(Seq[Char('a'), Char('2'), Char('3')])]])"},
      {R"(\zmat*{1}{2})", R"(Seq[Hybrid[Raw("\\zmat"), Visible(Seq[Char('*'), Char('1'), Char('2')])]])"},
  });
}

TEST(PhysicsTest, Failures) {
  expect_parses({
      {R"(\abs(x)", R"(error: unterminated physics delimiter for \abs)"},
      {R"(\qty[x)", R"(error: unterminated physics delimiter for \qty)"},
      {R"(\norm|x)", R"(error: unterminated physics delimiter for \norm)"},
      // An unclosed brace hides the closer.
      {R"(\abs({x))", R"(error: unterminated physics delimiter for \abs)"},
      {R"(\abs{x)", R"(error: unterminated braced abs content)"},
      {R"(\comm{A})", R"(error: expected comm argument)"},
      {R"(\pmqty(a)", R"(error: unterminated physics delimiter for \pmqty)"},
      {R"(\mqty{a)", R"(error: unterminated braced mqty content)"},
      {R"(\xmat{a}{2})", R"(error: expected braced xmat argument 3)"},
      {R"(\zmat{a} b)", R"(error: expected braced zmat argument 2)"},
      // A failing cell or body fails the command.
      {R"(\pmqty{a & \abs(x})", R"(error: unterminated physics delimiter for \abs)"},
      {R"(\qty(\abs|y))", R"(error: unterminated physics delimiter for \abs)"},
  });
}

// The delimited-body reader on its own: the opener must come first; the
// position moves past the closer.
TEST(PhysicsTest, DelimitedBodyReader) {
  Parser p("  x(a)");
  Result<TextSpan> missing = parse_physics_delimited_body(p, U'(', "abs");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().message, "expected ( after \\abs");
  Parser q(" [a[b]c] d");
  Result<TextSpan> body = parse_physics_delimited_body(q, U'[', "qty");
  ASSERT_TRUE(body.ok());
  EXPECT_EQ(body->begin, 2u);
  EXPECT_EQ(body->end, 7u);
  EXPECT_EQ(q.pos(), 8u);
}

TEST(PhysicsTest, BraKetAndSetNotationsStayRaw) {
  expect_parses({
      {R"(\ket{\psi})", R"(Seq[Raw("\\ket"), Seq[Char(U+03C8)]])"},
      {R"(\braket{a|b})", R"(Seq[Raw("\\braket"), Seq[Char('a'), Char('|'), Char('b')]])"},
  });
}

}  // namespace
}  // namespace quorvix::parser
