// The commands handled by name: the dispatch table, and the trees of the
// fonts, switches, colours, operators, modulo forms, labels, references and
// verbatim primitives, through whole parses.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "parse_test_util.h"
#include "parser/commands/named_commands.h"

namespace quorvix::parser {
namespace {

using testing::expect_parses;

TEST(NamedCommandTableTest, EveryNameIsDispatchedOnceAndFindsItsOwnRow) {
  std::set<std::string_view> seen;
  for (const NamedCommand& row : named_commands()) {
    EXPECT_TRUE(seen.insert(row.name).second) << "dispatched twice: \\" << row.name;
    EXPECT_EQ(find_named_command(row.name), &row) << row.name;
    EXPECT_NE(row.handler, nullptr) << row.name;
  }
  for (const char* unknown : {"", "foo", "mathb", "mathbff", "Sin", "sinh2"})
    EXPECT_EQ(find_named_command(unknown), nullptr) << unknown;
}

TEST(NamedCommandsTest, FontsOverAnArgument) {
  expect_parses({
      {"\\mathbb{R}", "Seq[Font(MathBb, Char('R'))]"},
      {"\\Bbb R", "Seq[Font(MathBb, Char('R'))]"},
      {"\\mathrm{d}x", "Seq[Font(RomanText, Char('d')), Char('x')]"},
      {"\\textrm{ab}", "Seq[Font(RomanText, Seq[Char('a'), Char('b')])]"},
      {"\\mathbf x^2", "Seq[Font(Bold, Script(Char('x'), sup=Char('2')))]"},
      {"\\textbf{x}\\bold{y}\\boldsymbol{z}",
       "Seq[Font(Bold, Char('x')), Font(Bold, Char('y')), Font(Bold, Char('z'))]"},
      {"\\mathsf{x}\\texttt{y}", "Seq[Font(MathSf, Char('x')), Font(TypewriterText, Char('y'))]"},
      {"\\mathscr{L}\\mathfrak{g}", "Seq[Font(MathScr, Char('L')), Font(MathFrak, Char('g'))]"},
      {"\\mathcal{A}", "Seq[Font(MathCal, Char('A'))]"},
      // The leading space reaches raw text inside the font.
      {"a \\mathbf{\\foo}", "Seq[Char('a'), Font(Bold, Raw(\" \\\\foo\"))]"},
      // Without a font node.
      {"\\mathit{ab}", "Seq[Seq[Char('a'), Char('b')]]"},
      {"\\emph x\\textit{y}", "Seq[Char('x'), Char('y')]"},
      // The blackboard shorthands give the tree of \mathbb.
      {"\\Reals", "Seq[Font(MathBb, Char('R'))]"},
      {"\\Complex\\cnums\\reals\\Rational\\Rationals\\Integers\\Naturals\\natnums",
       "Seq[Font(MathBb, Char('C')), Font(MathBb, Char('C')), Font(MathBb, Char('R')), Font(MathBb, "
       "Char('Q')), "
       "Font(MathBb, Char('Q')), Font(MathBb, Char('Z')), Font(MathBb, Char('N')), Font(MathBb, Char('N'))]"},
  });
}

TEST(NamedCommandsTest, RawPrefixedCommandsShowTheirArgument) {
  expect_parses({
      {"\\textsf{ab}", "Seq[Seq[Raw(\"\\\\textsf\"), Char('a'), Char('b')]]"},
      {"\\bm x", "Seq[Seq[Raw(\"\\\\bm\"), Char('x')]]"},
      {"\\utilde{x}", "Seq[Seq[Raw(\"\\\\utilde\"), Char('x')]]"},
      {"\\Overrightarrow{AB}", "Seq[Seq[Raw(\"\\\\Overrightarrow\"), Char('A'), Char('B')]]"},
      // These take a braced group only.
      {"\\boxed x", "Seq[Raw(\"\\\\boxed\"), Char('x')]"},
  });
}

// A one-argument command whose argument cannot be read is kept as raw TeX,
// and what follows its name is parsed as ordinary input.
TEST(NamedCommandsTest, FailingArgumentsLeaveTheCommandRaw) {
  expect_parses({
      {"\\mathbf{", "Seq[Raw(\"\\\\mathbf{\")]"},
      {"\\mathbf", "Seq[Raw(\"\\\\mathbf\")]"},
      {"\\textbf {a}\\textbf{b", "Seq[Font(Bold, Char('a')), Raw(\"\\\\textbf{\"), Char('b')]"},
      {"\\mathcal A", "Seq[Raw(\"\\\\mathcal\"), Char('A')]"},
      {"\\textsf{a", "Seq[Raw(\"\\\\textsf{\"), Char('a')]"},
      {"\\emph", "Seq[Raw(\"\\\\emph\")]"},
      {"\\utilde{x", "Seq[Raw(\"\\\\utilde{\"), Char('x')]"},
      {"\\textcolor{red}", "Seq[Raw(\"\\\\textcolor\"), Seq[Char('r'), Char('e'), Char('d')]]"},
      {"\\color x", "Seq[Raw(\"\\\\color\"), Char('x')]"},
      {"\\color{red x", "Seq[Raw(\"\\\\color{\"), Char('r'), Char('e'), Char('d'), Char('x')]"},
  });
}

TEST(NamedCommandsTest, SwitchesTakeTheRestOfTheGroup) {
  expect_parses({
      {"\\displaystyle x", "Seq[Style(Display, Char('x'))]"},
      {"\\textstyle x y", "Seq[Style(Text, Seq[Char('x'), Char('y')])]"},
      {"{\\scriptstyle a}b", "Seq[Seq[Style(Script, Char('a'))], Char('b')]"},
      {"\\scriptscriptstyle{a}b", "Seq[Style(ScriptScript, Char('a')), Char('b')]"},
      {"{\\bf a b} c", "Seq[Seq[Font(Bold, Seq[Char('a'), Char('b')])], Char('c')]"},
      {"\\rm x & y", "Seq[Font(RomanText, Char('x')), Raw(\" &\"), Char('y')]"},
      {"\\sf x\\right", "Seq[Font(MathSf, Char('x')), Raw(\"\\\\right\")]"},
      {"\\tt x\\\\y", "Seq[Font(TypewriterText, Char('x')), Raw(\"\\\\\\\\\"), Char('y')]"},
      {"\\cal A", "Seq[Font(MathCal, Char('A'))]"},
      {"\\it x", "Seq[Char('x')]"},
      {"\\bf", "Seq[Font(Bold, Seq[])]"},
      // The failure marker is the whole content, and ends the sequence.
      {"\\bf a\\eqref{x}", "Text(\"(Tex translation failed)\")"},
      {"\\displaystyle\\eqref{x}", "Style(Display, Text(\"(Tex translation failed)\"))"},
      // A switch's content fails as its group does.
      {"\\displaystyle {", "error: expected '}', found None"},
  });
}

TEST(NamedCommandsTest, Colours) {
  expect_parses({
      {"\\color{red}{x}", "Seq[Color(\"red\", Char('x'))]"},
      {"\\color{red} x y", "Seq[Color(\"red\", Seq[Char('x'), Char('y')])]"},
      {"{\\color{teal}x}y", "Seq[Seq[Color(\"teal\", Char('x'))], Char('y')]"},
      {"\\textcolor{blue}{ab}c", "Seq[Color(\"blue\", Seq[Char('a'), Char('b')]), Char('c')]"},
      {"\\textcolor{red}\\foo", "Seq[Color(\"red\", Raw(\"\\\\foo\"))]"},
  });
}

TEST(NamedCommandsTest, OperatorsAndModuloForms) {
  expect_parses({
      {"\\sin x", "Seq[FunctionName(\"sin\"), Char('x')]"},
      {"\\liminf\\Pr", "Seq[FunctionName(\"liminf\"), FunctionName(\"Pr\")]"},
      // A name of the symbol tables that is a function name.
      {"\\sup", "Seq[FunctionName(\"sup\")]"},
      {"a\\mod b", "Seq[Char('a'), Seq[Space(5), FunctionName(\"mod\"), Space(2)], Char('b')]"},
      {"a\\bmod b", "Seq[Char('a'), Seq[Space(2), FunctionName(\"mod\"), Space(2)], Char('b')]"},
  });
}

TEST(NamedCommandsTest, LabelsReferencesAndPrimitives) {
  expect_parses({
      {"\\eqref{eq1}", "Text(\"(Tex translation failed)\")"},
      {"\\ref {a}", "Text(\"(Tex translation failed)\")"},
      {"\\eqref", "Seq[Raw(\"\\\\eqref\")]"},
      {"x\\ref", "Seq[Char('x'), Raw(\"\\\\ref\")]"},
      // The marker leaves the rest of the input unread.
      {"a\\eqref{x}b", "error: unexpected character Some('b')"},
      {"\\label{x}y", "Seq[Char('y')]"},
      {"\\label x y", "Seq[Char('y')]"},
      {"\\label", "error: expected label name"},
      {"\\label{x", "error: expected '}', found None"},
      {"\\futurelet\\a\\b c", "Seq[Raw(\"\\\\futurelet\\\\a\\\\b\"), Char('c')]"},
      {"\\allowbreak  x", "Seq[Raw(\"\\\\allowbreak  \"), Char('x')]"},
  });
}

}  // namespace
}  // namespace quorvix::parser
