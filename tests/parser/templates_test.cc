// Fractions, binomials, roots, strike-outs, stacked forms, braces, arrows
// and the infix commands, through whole parses (input -> compact dump of the
// tree, before the writer sees it).
#include <gtest/gtest.h>

#include <string>

#include "parse_test_util.h"
#include "parser/commands/templates.h"

namespace quorvix::parser {
namespace {

using testing::dump_result;

using testing::expect_parses;

TEST(TemplatesParseTest, Fractions) {
  expect_parses({
      {R"(\frac{a}{b})", R"(Seq[Frac(Seq[Char('a')], Seq[Char('b')])])"},
      // Unbraced arguments are single atoms, with their scripts.
      {R"(\dfrac12)", R"(Seq[Style(Display, Frac(Char('1'), Char('2')))])"},
      {R"(\tfrac x_1 2)", R"(Seq[Style(Text, Frac(Script(Char('x'), sub=Char('1')), Char('2')))])"},
      {R"(\cfrac{1}{x})", R"(Seq[Frac(Seq[Char('1')], Seq[Char('x')])])"},
      // No numerator: the command is raw and parsing goes on after it.
      {R"(\frac)", R"(Seq[Raw("\\frac")])"},
      {R"(\frac{a)", R"(Seq[Raw("\\frac{"), Char('a')])"},
      // No denominator: the numerator stays visible after the raw command.
      {R"(\frac{a})", R"(Seq[Seq[Raw("\\frac"), Char('a')]])"},
      {R"(\dfrac x)", R"(Seq[Seq[Raw("\\dfrac"), Char('x')]])"},
      {R"(\frac{a}{b}c)", R"(Seq[Frac(Seq[Char('a')], Seq[Char('b')]), Char('c')])"},
  });
}

TEST(TemplatesParseTest, InfixCommands) {
  expect_parses({
      {R"({a \over b})", R"(Seq[Frac(Seq[Char('a')], Seq[Char('b')])])"},
      // Outside a group the command stays raw, with the whitespace before it.
      {R"(a \over b)", R"(Seq[Char('a'), Raw(" \\over"), Char('b')])"},
      {R"(a\over b)", R"(Seq[Char('a'), Raw("\\over"), Char('b')])"},
      {R"({n \choose k})", R"(Seq[Binomial(1, Seq[Char('n')], Seq[Char('k')])])"},
      {R"(n \choose k)", R"(Seq[Char('n'), Raw(" \\choose"), Char('k')])"},
      {R"({a \atop b})", R"(Seq[Seq[Char('a'), Raw(" \\atop"), Char('b')]])"},
      {R"({a\brace b})", R"(Seq[Seq[Char('a'), Raw("\\brace"), Char('b')]])"},
      {R"({a \brack b})", R"(Seq[Seq[Char('a'), Raw("\\brack"), Char('b')]])"},
      // \above keeps its dimension as ordinary atoms on the right.
      {R"({a \above 1pt b})",
       R"(Seq[Seq[Char('a'), Raw(" \\above"), Char('1'), Char('p'), Char('t'), Char('b')]])"},
      {R"(a  \above 1pt b)",
       R"(Seq[Char('a'), Raw("  \\above"), Char('1'), Char('p'), Char('t'), Char('b')])"},
      // Names that only start like an infix command are other commands.
      {R"({a \overline b})", R"(Seq[Seq[Char('a'), Overline(Char('b'))]])"},
      // An empty left side, and a structure on the right of a raw piece.
      {R"({\over b})", R"(Seq[Frac(Seq[], Seq[Char('b')])])"},
      {R"({a \atop b \over c})",
       R"(Seq[Seq[Char('a'), Raw(" \\atop"), Frac(Seq[Char('b')], Seq[Char('c')])]])"},
      {R"({a \over b \atop c})", R"(Seq[Frac(Seq[Char('a')], Seq[Char('b'), Raw(" \\atop"), Char('c')])])"},
      // The whitespace before a raw infix command is not given to the atom after it.
      {R"(a \atop \foo)", R"(Seq[Char('a'), Raw(" \\atop \\foo")])"},
  });
}

TEST(TemplatesParseTest, RepeatedOver) {
  expect_parses({
      {R"({a \over b \over c})",
       R"(Seq[Seq[Char('a'), Raw(" \\over"), Char('b'), Raw(" \\over"), Char('c')]])"},
      {R"(a \over b \over c)", R"(Seq[Char('a'), Raw(" \\over"), Char('b'), Raw(" \\over"), Char('c')])"},
      // The run of operands ends at an atom without \over after it; the rest
      // is an ordinary sequence, whose own \over is a single one.
      {R"({a \over b c \over d})",
       R"(Seq[Seq[Char('a'), Raw(" \\over"), Char('b'), Frac(Seq[Char('c')], Seq[Char('d')])]])"},
      // A second \over inside a nested group does not count.
      {R"({a \over {b \over c}})", R"(Seq[Frac(Seq[Char('a')], Seq[Frac(Seq[Char('b')], Seq[Char('c')])])])"},
      {R"({a \over b} \over c)", R"(Seq[Frac(Seq[Char('a')], Seq[Char('b')]), Raw(" \\over"), Char('c')])"},
      // An operand that cannot be read fails the sequence.
      {R"(a \over b \over)", R"(error: expected over operand)"},
  });
}

TEST(TemplatesParseTest, Binomials) {
  expect_parses({
      {R"(\binom{n}{k})", R"(Seq[Binomial(2, Seq[Char('n')], Seq[Char('k')])])"},
      {R"(\dbinom{n}{k})", R"(Seq[Style(Display, Binomial(2, Seq[Char('n')], Seq[Char('k')]))])"},
      {R"(\tbinom{n}{k})", R"(Seq[Style(Text, Binomial(2, Seq[Char('n')], Seq[Char('k')]))])"},
      // Braces are required, and there is no raw fallback.
      {R"(\binom nk)", R"(error: expected braced binomial upper)"},
      {R"(\tbinom{n}k)", R"(error: expected braced binomial lower)"},
  });
}

TEST(TemplatesParseTest, Genfrac) {
  expect_parses({
      {R"(\genfrac{}{}{0pt}{}{a}{b})",
       R"(Seq[Seq[Raw("\\genfrac"), Char('0'), Char('p'), Char('t'), Char('a'), Char('b')]])"},
      {R"(\genfrac(]{}{1}ab)",
       R"(Seq[Seq[Raw("\\genfrac"), Char('('), Char(']'), Char('1'), Char('a'), Char('b')]])"},
      {R"(\genfrac{ \langle }{\|}{}{}{a}{b})",
       R"(Seq[Seq[Raw("\\genfrac"), Char(U+3008), Char(U+2016), Char('a'), Char('b')]])"},
      {R"(\genfrac\rbrace\{{}{}{a}{b})",
       R"(Seq[Seq[Raw("\\genfrac"), Char('}'), Char('{'), Char('a'), Char('b')]])"},
      {R"(\genfrac\foo{}{}{}{a}{b})", R"(error: unsupported genfrac left delimiter: \foo)"},
      {R"(\genfrac{}{}{}{}{a})", R"(error: expected genfrac denominator)"},
      {R"(\genfrac{})", R"(error: expected genfrac right delimiter)"},
      {R"(\genfrac{}{}{0pt)", R"(error: unterminated braced genfrac line thickness)"},
  });
}

TEST(TemplatesParseTest, SquareRoots) {
  expect_parses({
      {R"(\sqrt{x})", R"(Seq[Sqrt(Seq[Char('x')])])"},
      {R"(\sqrt x)", R"(Seq[Sqrt(Char('x'))])"},
      {R"(\sqrt{})", R"(Seq[Sqrt(Seq[])])"},
      {R"(\sqrt[3]{x})", R"(Seq[Root(Seq[Char('3')], Seq[Char('x')])])"},
      // A lone closer after \sqrt closes something else: both stay raw.
      {R"(\sqrt})", R"(Seq[Raw("\\sqrt}")])"},
      {R"({\sqrt})", R"(Seq[Raw("{\\sqrt}")])"},
      {R"(\sqrt[2]})", R"(Seq[Root(Seq[Char('2')], Raw("}"))])"},
      // Index or radicand missing: raw, and the rest is read again.
      {R"(\sqrt)", R"(Seq[Raw("\\sqrt")])"},
      {R"(\sqrt[3)", R"(Seq[Raw("\\sqrt"), Char('['), Char('3')])"},
      {R"(\sqrt{x)", R"(Seq[Raw("\\sqrt{"), Char('x')])"},
  });
}

TEST(TemplatesParseTest, PlainRoots) {
  expect_parses({
      // Plain TeX's form stays raw; what follows is ordinary input.
      {R"(\root 3\of x)", R"(Seq[Raw("\\root"), Char('3'), Raw("\\of"), Char('x')])"},
      {R"(\root[3]\of{x})",
       R"(Seq[Seq[Raw("\\root"), Char('['), Char('3'), Char(']'), Raw("\\of"), Char('x')]])"},
      // The brace of the braced form closes after the radicand, as raw text.
      {R"(\root{n \of x})", R"(Seq[Seq[Raw("\\root{"), Char('n'), Raw(" \\of"), Char('x')], Raw("}")])"},
      // A brace closing the index is kept raw before \of.
      {R"(\root[{3}]\of x)",
       R"(Seq[Seq[Raw("\\root"), Char('['), Seq[Char('3')], Char(']'), Raw("\\of"), Char('x')]])"},
      {R"(\root[n}\of x)", R"(Seq[Seq[Raw("\\root"), Char('['), Char('n'), Raw("}\\of"), Char('x')]])"},
      {R"(\root{3})", R"(Seq[Raw("\\root"), Seq[Char('3')]])"},
      {R"(\root[3]\offset)", R"(Seq[Raw("\\root"), Char('['), Char('3'), Char(']'), Raw("\\offset")])"},
      // The radicand runs to the end of the group.
      {R"({\root[3]\of a b} c)",
       R"(Seq[Seq[Seq[Raw("\\root"), Char('['), Char('3'), Char(']'), Raw("\\of"), Char('a'), Char('b')]], Char('c')])"},
      // Index and radicand have no fallback.
      {R"(\root[\binom nk]\of x)", R"(error: expected braced binomial upper)"},
  });
}

TEST(TemplatesParseTest, StrikeOuts) {
  expect_parses({
      {R"(\cancel{x})", R"(Seq[Strike(Cancel, Seq[Char('x')])])"},
      {R"(\sout x)", R"(Seq[Strike(Sout, Char('x'))])"},
      {R"(\bcancel{x}\xcancel{y})",
       R"(Seq[Strike(Bcancel, Seq[Char('x')]), Strike(Xcancel, Seq[Char('y')])])"},
      // A bracketed option: the whole sequence becomes the failure text.
      {R"(a\cancel[2]{x})", R"x(Text("(Tex translation failed)"))x"},
      // The text after it stays unread, which the whole parse does not accept.
      {R"(\cancel[2]{x}b)", R"(error: unexpected character Some('b'))"},
      {R"(\cancel[2)", R"x(Text("(Tex translation failed)"))x"},
      // No content: raw, and the rest is read again.
      {R"(\cancel)", R"(Seq[Raw("\\cancel")])"},
      {R"(\xcancel{x)", R"(Seq[Raw("\\xcancel{"), Char('x')])"},
  });
}

TEST(TemplatesParseTest, StackedFormsBracesAndArrows) {
  expect_parses({
      {R"(\stackrel{a}{=})", R"(Seq[Stackrel(Seq[Char('a')], Seq[Char('=')])])"},
      {R"(\overset{a}{b})", R"(Seq[Stackrel(Seq[Char('a')], Seq[Char('b')])])"},
      {R"(\underset{a}{b})", R"(Seq[Underset(Seq[Char('a')], Seq[Char('b')])])"},
      {R"(\stackrel{a}=)", R"(error: expected braced stackrel lower)"},
      {R"(\underset a{b})", R"(error: expected braced underset lower)"},
      {R"(\overbrace{x})", R"(Seq[Brace(0, Seq[Char('x')])])"},
      // The label comes as a script on the brace's own side.
      {R"(\underbrace{x}_{n})", R"(Seq[Brace(1, Seq[Char('x')], label=Char('n'))])"},
      {R"(\overbrace{x}^n)", R"(Seq[Brace(0, Seq[Char('x')], label=Char('n'))])"},
      {R"(\overbrace{x}_n)", R"(Seq[Script(Brace(0, Seq[Char('x')]), sub=Char('n'))])"},
      {R"(\underbrace)", R"(Seq[Raw("\\underbrace")])"},
      {R"(\xrightarrow{f})", R"(Seq[XArrow(1, Seq[Char('f')])])"},
      {R"(\xleftarrow[g]{f})", R"(Seq[XArrow(0, Seq[Char('f')], under=Seq[Char('g')])])"},
      {R"(\xmapsto x)", R"(Seq[Seq[Raw("\\xmapsto"), Char('x')]])"},  // kept raw, label shown
      {R"(\xrightarrow[g)", R"(Seq[Raw("\\xrightarrow"), Char('['), Char('g')])"},
      {R"(\xrightarrow)", R"(Seq[Raw("\\xrightarrow")])"},
  });
}

// The parenthesised modulo forms (parsed in delimiters_test.cc).
TEST(TemplatesParseTest, ModuloCommands) {
  EXPECT_EQ(ast::dump(modulo_parenthesized_expr(ast::make_char(U'n'), true)),
            R"(Seq[Space(5), Delimited('(', ')', Seq[FunctionName("mod"), Char('n')])])");
  EXPECT_EQ(ast::dump(modulo_parenthesized_expr(ast::make_char(U'n'), false)),
            R"(Seq[Space(5), Delimited('(', ')', Char('n'))])");
}

TEST(TemplatesParseTest, DelimiterCharacters) {
  struct DelimiterCase {
    const char* input;
    std::optional<char32_t> ch;  // nothing: the error below
    const char* error;
    std::size_t pos_after;
  };
  const DelimiterCase cases[] = {
      {"  (x", U'(', "", 3},
      {"\\|", U'\u2016', "", 2},
      {"\\{", U'{', "", 2},
      {"\\rangle x", U'\u3009', "", 7},
      {"", std::nullopt, "expected delimiter", 0},
      {"\\", std::nullopt, "expected delimiter", 1},
      {"\\alpha", std::nullopt, "unsupported delimiter: \\alpha", 6},
      {"\\averyveryverylongname", std::nullopt, "unsupported delimiter: \\averyveryverylongname", 22},
  };
  for (const DelimiterCase& c : cases) {
    Parser p(c.input);
    Result<char32_t> r = parse_delimiter_char(p, "delimiter");
    if (c.ch) {
      ASSERT_TRUE(r.ok()) << c.input;
      EXPECT_EQ(*r, *c.ch) << c.input;
    } else {
      ASSERT_FALSE(r.ok()) << c.input;
      EXPECT_EQ(r.error().message, c.error) << c.input;
    }
    EXPECT_EQ(p.pos(), c.pos_after) << c.input;
  }
}

}  // namespace
}  // namespace quorvix::parser
