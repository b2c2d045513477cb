// The symbol lookups after the named commands and the control symbols,
// through whole parses (input -> compact dump of the tree).
#include <gtest/gtest.h>

#include "parse_test_util.h"

namespace quorvix::parser {
namespace {

using testing::expect_parses;

TEST(TableCommandsTest, EachTableGivesItsTree) {
  expect_parses({
      {"\\alpha", "Seq[Char(U+03B1)]"},
      {"\\prime", R"(Seq[CommandSymbol("prime", U+2032)])"},
      {"\\bigoplus", "Seq[BigSymbol(U+2295)]"},
      {"\\bigsqcup", "Seq[BigOperatorSymbol(U+2294)]"},
      {"\\lbrace x\\rbrace", "Seq[Char('{'), Char('x'), Char('}')]"},
      {"\\coloncolonequals", "Seq[Seq[Char(U+2237), Char('=')]]"},
      {"\\ratio", "Seq[Seq[Char(':')]]"},
      {"\\quad", "Seq[Space(5)]"},
      {"\\negthickspace", "Seq[Space(1)]"},
      // The characters that differ from the first guess.
      {"\\epsilon\\phi\\circ\\sdot\\And",
       "Seq[Char(U+03F5), Char(U+03D5), Char(U+00B0), Char(U+00B7), Char('&')]"},
      {"\\Bbbk", "Seq[Char(U+1D55C)]"},
  });
}

TEST(TableCommandsTest, EarlierTablesWin) {
  expect_parses({
      // Named symbols before delimiter names and plain characters.
      {"\\prime\\langle\\lceil", R"(Seq[CommandSymbol("prime", U+2032), CommandSymbol("langle", U+3008), )"
                                 R"(CommandSymbol("lceil", U+2308)])"},
      // Big symbols before plain characters.
      {"\\bigvee\\bigwedge", "Seq[BigSymbol(U+22C1), BigSymbol(U+22C0)]"},
      // The always-raw list before every table.
      {"\\coloneq", R"(Seq[Raw("\\coloneq")])"},
      {"\\lt", R"(Seq[Raw("\\lt")])"},
      {"\\copyright", R"(Seq[Raw("\\copyright")])"},
      {"\\varPi", R"(Seq[Raw("\\varPi")])"},
      // Named commands before the tables: \int is a sign, not a symbol.
      {"\\int", "Seq[IntegralSign(Int)]"},
      {"\\foo", R"(Seq[Raw("\\foo")])"},
      {"a \\foo \\lt", R"(Seq[Char('a'), Raw(" \\foo \\lt")])"},
      // Whitespace in front of a symbol is dropped.
      {"a \\alpha", "Seq[Char('a'), Char(U+03B1)]"},
      // A longer or shorter name is another command.
      {"\\alphax \\alph", R"(Seq[Raw("\\alphax \\alph")])"},
  });
}

TEST(TableCommandsTest, ArrowsKeptRawShowTheirLabels) {
  expect_parses({
      {"\\xmapsto{a}", R"(Seq[Seq[Raw("\\xmapsto"), Char('a')]])"},
      {"\\xlongequal[b]{a}", R"(Seq[Seq[Raw("\\xlongequal"), Char('['), Char('b'), Char(']'), Char('a')]])"},
      {"\\xRightarrow [ b c ] {a+b}",
       R"(Seq[Seq[Raw("\\xRightarrow"), Char('['), Char('b'), Char('c'), Char(']'), Char('a'), Char('+'), )"
       R"(Char('b')]])"},
      // An unbraced label is one atom with its scripts.
      {"\\xtofrom x^2 y", R"(Seq[Seq[Raw("\\xtofrom"), Script(Char('x'), sup=Char('2'))], Char('y')])"},
      {"\\xhookleftarrow{}", R"(Seq[Seq[Raw("\\xhookleftarrow")]])"},
      {"a \\xmapsto{b}", R"(Seq[Char('a'), Seq[Raw(" \\xmapsto"), Char('b')]])"},
      // Labels that cannot be read leave the arrow alone; what follows is
      // read as ordinary input.
      {"\\xmapsto", R"(Seq[Raw("\\xmapsto")])"},
      {"\\xmapsto{a", R"(Seq[Raw("\\xmapsto{"), Char('a')])"},
      {"\\xmapsto[a", R"(Seq[Raw("\\xmapsto"), Char('['), Char('a')])"},
      // A `}` is an atom too: the group it would close stays unclosed.
      {"{\\xmapsto}", R"(Seq[Raw("{"), Seq[Raw("\\xmapsto}")]])"},
      {"\\xmapsto\\xmapsto", R"(Seq[Seq[Raw("\\xmapsto\\xmapsto")]])"},
      // A failure that the text after the arrow repeats still ends the parse.
      {"\\xmapsto{a\\", "error: dangling backslash"},
      // The other extensible arrows become arrow templates.
      {"\\xrightarrow{a}", R"(Seq[XArrow(1, Seq[Char('a')])])"},
      {"\\xleftarrow x", R"(Seq[XArrow(0, Char('x'))])"},
  });
}

TEST(TableCommandsTest, ControlSymbols) {
  expect_parses({
      {"a\\>b", "Seq[Char('a'), Char('b')]"},
      {"\\,\\:\\;\\!", "Seq[Space(8), Space(2), Space(4), Space(1)]"},
      {"a \\&", R"(Seq[Char('a'), Raw(" \\&")])"},
      {"\\#\\%\\_", "Seq[Char('#'), Char('%'), Char('_')]"},
      {"a\\/\\<\\]b", "Seq[Char('a'), Char('b')]"},
      {"\\|", "Seq[Char(U+2016)]"},
      {"a \\$ \\{\\}", R"(Seq[Char('a'), Char('$'), Char('{'), Raw("\\}")])"},
      {"\\[\\^\\'\\@\\=", R"(Seq[Char('['), Char('^'), Char('\''), Char('@'), Char('=')])"},
      // Outside the range from `$` to `{`, and the symbols that mean more.
      {"\\(\\)\\.\\1\\~\\\"", R"(Seq[Raw("\\(\\)\\.\\1\\~\\\"")])"},
      {"\\ x", R"(Seq[Raw("\\ "), Char('x')])"},
      {"\\", "error: dangling backslash"},
  });
}

}  // namespace
}  // namespace quorvix::parser
