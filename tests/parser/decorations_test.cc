// Accents, bars, arrow accents, the decorated limits and \not, through whole
// parses (input -> compact dump of the tree).
#include <gtest/gtest.h>

#include <string>

#include "parse_test_util.h"

namespace quorvix::parser {
namespace {

using testing::parse_dump;

using testing::expect_parses;

TEST(DecorationsParseTest, EveryAccentCommandGivesItsKind) {
  const std::pair<const char*, const char*> kinds[] = {
      {"bar", "Bar"},     {"hat", "Hat"},     {"widehat", "WideHat"}, {"breve", "Breve"},
      {"dot", "Dot"},     {"ddot", "Ddot"},   {"dddot", "Dddot"},     {"ddddot", "Ddddot"},
      {"tilde", "Tilde"}, {"acute", "Acute"}, {"grave", "Grave"},     {"check", "Check"},
  };
  for (const auto& [name, kind] : kinds) {
    EXPECT_EQ(parse_dump(std::string("\\") + name + "{x}"),
              std::string("Seq[Accent(") + kind + ", Seq[Char('x')])]")
        << name;
  }
}

TEST(DecorationsParseTest, AccentsAndBars) {
  expect_parses({
      {R"(\hat x)", R"(Seq[Accent(Hat, Char('x'))])"},
      // An unbraced argument is one atom with its scripts.
      {R"(\bar x^2 y)", R"(Seq[Accent(Bar, Script(Char('x'), sup=Char('2'))), Char('y')])"},
      {R"(\widehat{xy})", R"(Seq[Accent(WideHat, Seq[Char('x'), Char('y')])])"},
      {R"(\hat{\mathbf{x}})", R"(Seq[Accent(Hat, Seq[Font(Bold, Char('x'))])])"},
      {R"(\hat{\bar{x}})", R"(Seq[Accent(Hat, Seq[Accent(Bar, Seq[Char('x')])])])"},
      {R"(\overline{xy})", R"(Seq[Overline(Seq[Char('x'), Char('y')])])"},
      {R"(\underline x)", R"(Seq[Underline(Char('x'))])"},
  });
}

TEST(DecorationsParseTest, ArrowAccentsAndDecoratedLimits) {
  expect_parses({
      // A one-item argument is the arrow's body itself.
      {R"(\vec{x})", R"(Seq[ArrowAccent(1, over, Char('x'))])"},
      {R"(\overrightarrow{AB})", R"(Seq[ArrowAccent(1, over, Seq[Char('A'), Char('B')])])"},
      {R"(\overleftarrow a)", R"(Seq[ArrowAccent(0, over, Char('a'))])"},
      {R"(\overleftrightarrow{\vec{v}})", R"(Seq[ArrowAccent(2, over, ArrowAccent(1, over, Char('v')))])"},
      {R"(\varinjlim)", R"(Seq[ArrowAccent(1, under, FunctionName("lim"))])"},
      {R"(\varprojlim_n)", R"(Seq[Script(ArrowAccent(0, under, FunctionName("lim")), sub=Char('n'))])"},
      {R"(\varlimsup\varliminf)", R"(Seq[Overline(FunctionName("lim")), Underline(FunctionName("lim"))])"},
  });
}

// The argument cannot be read: the command alone is raw TeX and the text
// after its name is read again as ordinary input.
TEST(DecorationsParseTest, FailingArgumentsLeaveTheCommandRaw) {
  expect_parses({
      {R"(\hat)", R"(Seq[Raw("\\hat")])"},
      {R"(\acute{x)", R"(Seq[Raw("\\acute{"), Char('x')])"},
      {R"(a \overline)", R"(Seq[Char('a'), Raw(" \\overline")])"},
      {R"(\underline{a)", R"(Seq[Raw("\\underline{"), Char('a')])"},
      {R"(\vec{\hat{x})", R"(Seq[Raw("\\vec{"), Accent(Hat, Seq[Char('x')])])"},
      {R"(\overleftarrow)", R"(Seq[Raw("\\overleftarrow")])"},
  });
}

TEST(DecorationsParseTest, NotRelation) {
  expect_parses({
      {R"(\not=)", R"(Seq[Not(Char('='))])"},
      {R"(\not\in)", R"(Seq[Not(Char(U+2208))])"},
      {R"(\not\mid)", R"(Seq[Not(CommandSymbol("mid", U+2223))])"},
      // The operand is wrapped whole, its one-item group included.
      {R"(\not{=})", R"(Seq[Not(Seq[Char('=')])])"},
      {R"(\not x)", R"(Seq[Not(Char('x'))])"},
      // Anything but one relation symbol is kept without the negation.
      {R"(\not{ab})", R"(Seq[Seq[Char('a'), Char('b')]])"},
      {R"(\not\frac{a}{b})", R"(Seq[Frac(Seq[Char('a')], Seq[Char('b')])])"},
      // A fence is struck through instead.
      {R"(\not\left( x \right))", R"(Seq[Strike(Cancel, Delimited('(', ')', Seq[Char('x')]))])"},
      {R"(\not\left. \right|)", R"(Seq[Strike(Cancel, OneSided('|', 1, Seq[]))])"},
      // No raw fallback: a missing operand fails the input.
      {R"(\not)", R"(error: expected not relation)"},
      {R"(\not{=)", R"(error: expected '}', found None)"},
  });
}

}  // namespace
}  // namespace quorvix::parser
