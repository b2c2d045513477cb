// Text mode and the commands around it, as trees: the scanner of \text
// arguments, the tail rule, the text boxes, the wrappers, \verb, \hspace,
// \char and the operator names.
#include <gtest/gtest.h>

#include "parse_test_util.h"

namespace quorvix::parser {
namespace {

using testing::expect_parses;

TEST(TextModeTest, ScannerRunsSymbolsAndRawCommands) {
  expect_parses({
      {R"(\text{a b})", R"(Seq[Seq[Text("a b")]])"},
      // The run after a command starts with the space as written.
      {R"(\text{\S 3})", R"(Seq[Seq[Char(U+00A7), Text(" 3")]])"},
      {R"(\text{\AA\O\P\sect})", R"(Seq[Seq[Char(U+00C5), Char(U+2205), Char(U+00B6), Char(U+00A7)]])"},
      {R"(\text{x \$ y \{\}\#\%\&\_})", R"(Seq[Seq[Text("x $ y {}#%&_")]])"},
      {R"(\text{\foo bar})", R"(Seq[Seq[Raw("\\foo"), Text(" bar")]])"},
      // Braces without a command are ordinary characters.
      {R"(\text{{a}})", R"(Seq[Seq[Text("{a}")]])"},
      {R"(\text{\sout{ab}c})", R"(Seq[Seq[Raw("\\sout"), Text("ab"), Text("c")]])"},
      {R"(\text{\sout c})", R"(Seq[Seq[Raw("\\sout"), Text(" c")]])"},
      {R"(\text{\textcircled{a}b})", R"(Seq[Seq[Raw("\\textcircled"), Text("a"), Text("b")]])"},
      {R"(\text{\textcircled 1})", R"(Seq[Seq[Raw("\\textcircled"), Text("1")]])"},
      {R"(\text{a\\})", R"(Seq[Seq[Text("a"), Raw("\\\\")]])"},
  });
}

TEST(TextModeTest, InlineMathAndDollars) {
  expect_parses({
      {R"(\text{if $x<0$})",
       R"(Seq[Seq[Text("if"), Char('$'), Text("x"), Char('<'), Text("0"), Char('$')]])"},
      {R"(\text{$a>b?$ c})",
       R"(Seq[Seq[Char('$'), Text("a"), Char('>'), Text("b"), Char('?'), Char('$'), Text(" c")]])"},
      // Whitespace right before a dollar, with nothing pending, is skipped.
      {R"(\text{ $b$})", R"(Seq[Seq[Char('$'), Text("b"), Char('$')]])"},
      // A dollar without a partner is an ordinary character.
      {R"(\text{a$b})", R"(Seq[Seq[Text("a$b")]])"},
      // Letters and digits right after a group holding math join it.
      {R"(\text{$n$}th2 x)", R"(Seq[Seq[Char('$'), Text("n"), Char('$'), Text("th2")], Char('x')])"},
      // A fragment holds more items than the commands around it make.
      {R"(\text{\S $a<b<c$ \"o})",
       R"(Seq[Seq[Char(U+00A7), Char('$'), Text("a"), Char('<'), Text("b"), Char('<'), Text("c"), Char('$'), )"
       R"(Text(" "), Raw("\\\""), Text("o")]])"},
      {R"(\text{n}th)", R"(Seq[Seq[Text("n")], Char('t'), Char('h')])"},
  });
}

TEST(TextModeTest, TextAccents) {
  expect_parses({
      {R"(\text{\'e})",
       R"(Seq[Seq[Raw("\\"), Script(Seq[], sup=CommandSymbol("prime", U+2032)), Text("e")]])"},
      {R"(\text{\"o})", R"(Seq[Seq[Raw("\\\""), Text("o")]])"},
      {R"(\text{\.z})", R"(Seq[Seq[Raw("\\"), Char('.'), Text("z")]])"},
      {R"(\text{\=a})", R"(Seq[Seq[Raw("\\"), Text("="), Text("a")]])"},
      {R"(\text{\^{ab}})", R"(Seq[Seq[Raw("\\"), Script(Seq[], sup=Text("ab"))]])"},
      {R"(\text{\~n})", R"(Seq[Seq[Raw("\\"), Char('~'), Text("n")]])"},
      {R"(\text{\v s})", R"(Seq[Seq[Raw("\\v"), Text("s")]])"},
      {R"(\text{\H{o}x})", R"(Seq[Seq[Raw("\\H"), Text("o"), Text("x")]])"},
      {R"(\text{\`a})", R"(Seq[Seq[Raw("\\`"), Text("a")]])"},
      // An accent with nothing after it is an ordinary command.
      {R"(\text{a\'})", R"(Seq[Seq[Text("a"), Raw("\\'")]])"},
  });
}

TEST(TextModeTest, TextFallbacks) {
  expect_parses({
      {R"(\text x)", R"(Seq[Font(RomanText, Char('x'))])"},
      {R"(\text)", R"(Seq[Raw("\\text")])"},
      // An unclosed argument: the command and the brace stay raw.
      {R"(\text{a)", R"(Seq[Raw("\\text{"), Char('a')])"},
  });
}

TEST(TextModeTest, TextBoxes) {
  expect_parses({
      {R"(\mbox{a b})", R"(Seq[Seq[Text("a b")]])"},
      {R"(\hbox{$x$})", R"(Seq[Seq[Char('$'), Char('x'), Char('$')]])"},
      {R"(\mbox{\eqref{e1}})", R"(Seq[Seq[Raw("\\mbox\\eqref"), Char('e'), Char('1')]])"},
      {R"(\hbox{ \ref{a} })", R"(Seq[Seq[Raw("\\hbox \\ref"), Char('a')]])"},
      {R"(\mbox{\frac12})", R"(Seq[Seq[Frac(Char('1'), Char('2'))]])"},
      // Without a group the box stays raw and what follows is ordinary input.
      {R"(\mbox)", R"(Seq[Raw("\\mbox")])"},
      {R"(\hbox{x)", R"(Seq[Raw("\\hbox{"), Char('x')])"},
  });
}

TEST(TextModeTest, Wrappers) {
  expect_parses({
      {R"(\colorbox{red}{x})", R"(Seq[Seq[Raw("\\colorbox"), Char('r'), Char('e'), Char('d'), Char('x')]])"},
      {R"(\fcolorbox{a}{b}{c})", R"(Seq[Seq[Raw("\\fcolorbox"), Char('a'), Char('b'), Char('c')]])"},
      // An argument group that cannot be read leaves the command alone.
      {R"(\colorbox{a} x)", R"(Seq[Raw("\\colorbox"), Seq[Char('a')], Char('x')])"},
      {R"(\fcolorbox{r}{a}{)", R"(Seq[Raw("\\fcolorbox"), Seq[Char('r')], Seq[Char('a')], Raw("{")])"},
      // A failing argument parse is the command's failure.
      {R"(\colorbox{r}{\eqref{a}b})", "error: unexpected character in macro replacement Some('b')"},
      {R"(\htmlId{a}{x}y)", R"(Seq[Seq[Raw("\\htmlId"), Char('a'), Char('x')], Char('y')])"},
      {R"(\htmlStyle{a})", R"(Seq[Raw("\\htmlStyle"), Seq[Char('a')]])"},
      {R"(\mathrlap{\,/}{=})", R"(Seq[Seq[Raw("\\mathrlap"), Space(8), Char('/'), Char('=')]])"},
      {R"(\mathclap{k}l)", R"(Seq[Seq[Raw("\\mathclap"), Char('k')], Char('l')])"},
      {R"(\mathllap x)", R"(Seq[Raw("\\mathllap"), Char('x')])"},
      {R"(\phase{a})", R"(Seq[Seq[Raw("\\phase"), Char('a')]])"},
      {R"(\vcenter{y})", R"(Seq[Seq[Char('y')]])"},
      {R"(\vcenter y)", R"(Seq[Raw("\\vcenter"), Char('y')])"},
  });
}

TEST(TextModeTest, VerbHspaceAndChar) {
  expect_parses({
      {R"(\verb|x|)", R"(Seq[Seq[Raw("\\verb"), Char('|'), Char('x'), Char('|')]])"},
      {R"(\verb{ab}c)", R"(Seq[Seq[Raw("\\verb"), Char('a'), Char('b')], Char('c')])"},
      {R"(\verb x)", R"(Seq[Raw("\\verb"), Char('x')])"},
      {R"(\verb|x)", R"(Seq[Raw("\\verb"), Char('|'), Char('x')])"},
      {R"(\verb)", R"(Seq[Raw("\\verb")])"},
      // The failure of the delimited text's parse is the command's.
      {R"(\verb!\eqref{a}b!)", "error: unexpected character in macro replacement Some('b')"},
      {R"(\hspace{1em}x)", R"(Seq[Char('x')])"},
      {R"(\hspace * {1em}x)", R"(Seq[Char('x')])"},
      {R"(\hspace7ex)", R"(Seq[Char('e'), Char('x')])"},
      {R"(\hspace*)", R"(Seq[Raw("\\hspace*")])"},
      {R"(\hspace)", R"(Seq[Raw("\\hspace")])"},
      {R"(\char"41)", R"(Seq[Seq[Raw("\\char\""), Char('4'), Char('1')]])"},
      {R"(\char "FFFFFFFF)",
       R"(Seq[Seq[Raw("\\char\""), Char('F'), Char('F'), Char('F'), Char('F'), Char('F'), Char('F'), Char('F'), Char('F')]])"},
      {R"(\char"100000000)",
       R"(error: invalid \char hex code 100000000: number too large to fit in target type)"},
      {R"(\char 65)", R"(Seq[Raw("\\char"), Char('6'), Char('5')])"},
      {R"(\char"x)", R"(Seq[Raw("\\char\""), Char('x')])"},
  });
}

TEST(TextModeTest, OperatorNames) {
  expect_parses({
      {R"(\operatorname{rank} A)", R"(Seq[FunctionName("rank"), Char('A')])"},
      {R"(\operatorname{arg max})", R"(Seq[FunctionName("argmax")])"},
      {R"(\operatorname{arg\,max})",
       R"(Seq[Font(RomanText, Seq[Char('a'), Char('r'), Char('g'), Space(8), Char('m'), Char('a'), Char('x')])])"},
      {R"(\operatornamewithlimits{argmax}_x)", R"(Seq[MathOp(FunctionName("argmax"), lower=Char('x'))])"},
      {R"(\operatorname*{max}^n)", R"(Seq[MathOp(FunctionName("max"), upper=Char('n'))])"},
      {R"(\operatorname{})", R"(Seq[])"},
      {R"(\operatorname x)", R"(Seq[Raw("\\operatorname"), Char('x')])"},
  });
}

}  // namespace
}  // namespace quorvix::parser
