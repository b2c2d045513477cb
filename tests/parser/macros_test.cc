// User definitions as trees: \def and its uses, \newcommand and its
// relatives, \newenvironment, \let; and the cost of many definitions.
#include <gtest/gtest.h>

#include <string>

#include "allocation_count.h"
#include "parse_test_util.h"
#include "parser/macros/macros.h"

namespace quorvix::parser {
namespace {

using testing::expect_parses;
using testing::parse_dump;

TEST(MacrosTest, DefRecordsAndUsesStayRaw) {
  expect_parses({
      // The replacement holds a parameter, so the definition is raw as written.
      {R"(\def\f#1{x^#1}\f{2})", R"(Seq[Raw("\\def\\f#1{x^#1}"), Seq[Raw("\\f"), Char('2')]])"},
      // A replacement without raw TeX is shown between the raw pieces.
      {R"(\def\a{x}\a)", R"(Seq[Seq[Raw("\\def\\a{"), Char('x'), Raw("}")], Raw("\\a")])"},
      {R"(\gdef \b {y} \b)", R"(Seq[Seq[Raw("\\gdef \\b {"), Char('y'), Raw("}")], Raw(" \\b")])"},
      {R"(\def\p#1#2{#1}\p{a}{b}\p{c}\p)",
       R"(Seq[Raw("\\def\\p#1#2{#1}"), Seq[Raw("\\p"), Char('a'), Char('b')], Seq[Raw("\\p"), Char('c')], Raw("\\p")])"},
      // A missing argument group leaves the bare command.
      {R"(\def\f#1{#1}\f x)", R"(Seq[Raw("\\def\\f#1{#1}\\f"), Char('x')])"},
      // Arguments see the macros: the inner use is raw too.
      {R"(\def\f#1{#1}\f{\f{x}})",
       R"(Seq[Raw("\\def\\f#1{#1}"), Seq[Raw("\\f"), Seq[Raw("\\f"), Char('x')]]])"},
      // A later definition replaces the earlier one; a macro shadows a built-in.
      {R"(\def\f#1{#1}\def\f{z}\f{2})",
       R"(Seq[Raw("\\def\\f#1{#1}"), Seq[Raw("\\def\\f{"), Char('z'), Raw("}")], Raw("\\f"), Seq[Char('2')]])"},
      {R"(\def\alpha{a}\alpha)", R"(Seq[Seq[Raw("\\def\\alpha{"), Char('a'), Raw("}")], Raw("\\alpha")])"},
      // The definition's own replacement does not see it: this terminates.
      {R"(\def\a{\a}\a)", R"(Seq[Raw("\\def\\a{\\a}\\a")])"},
      // A braced name is the malformed form: recorded, but shown raw.
      {R"(\def{\m}{x}\m)", R"(Seq[Raw("\\def{\\m}{x}\\m")])"},
      // An option after the parameters: the rest is the failure marker.
      {R"(\def\a[#1]{y} z)", R"x(Text("(Tex translation failed)"))x"},
  });
}

TEST(MacrosTest, DefMessages) {
  expect_parses({
      {R"(\def\g#1#2#3{})", "error: only up to two macro parameters are supported"},
      {R"(\def\h#2{})", "error: expected macro parameter marker #1 after #"},
      {R"(\def\h#1#1{})", "error: expected macro parameter marker #2 after #"},
      {R"(\def)", "error: expected macro control-word name"},
      {R"(\def\1{})", "error: expected macro control-word name"},
      {R"(\def x{})", "error: expected macro control-word name"},
      {R"(\def\a{x)", "error: unterminated braced macro replacement"},
      {R"(\def\a x)", "error: expected braced macro replacement"},
      // An empty group in the replacement vanishes from the translation.
      {R"(\def\a{{}x})", R"(Seq[Seq[Raw("\\def\\a{"), Char('x'), Raw("}")]])"},
  });
}

TEST(MacrosTest, NewcommandShowsItsParts) {
  expect_parses({
      {R"(\newcommand{\R}{\mathbb{R}})", R"(Seq[Seq[Raw("\\newcommand\\R"), Font(MathBb, Char('R'))]])"},
      // Not recorded: a later \R is unrecognised, and continues the definition.
      {R"(\newcommand{\R}{\mathbb{R}}\R)",
       R"(Seq[Seq[Raw("\\newcommand\\R"), Font(MathBb, Char('R')), Raw("\\R")]])"},
      {R"(\renewcommand{\f}[2][x]{#1})",
       R"(Seq[Seq[Raw("\\renewcommand\\f"), Char('['), Char('2'), Char(']'), Char('['), Char('x'), Char(']'), Raw("#"), Char('1')]])"},
      // A replacement that is not a group: the next atom continues the definition.
      {R"(\providecommand{\R}\mathbb R)", R"(Seq[Seq[Raw("\\providecommand\\R"), Font(MathBb, Char('R'))]])"},
      // A bare big operator in the replacement is shown as its sign.
      {R"(\newcommand{\s}{\sum})", R"(Seq[Seq[Raw("\\newcommand\\s"), Group(BigOperatorSymbol(U+2211))]])"},
      // A backslash and a non-letter: the backslash stays raw.
      {R"(\newcommand{\,}{x})", R"(Seq[Seq[Raw("\\newcommand\\"), Char(','), Char('x')]])"},
      {R"(\newcommand x)", R"(Seq[Raw("\\newcommand"), Char('x')])"},
  });
}

TEST(MacrosTest, NewenvironmentBodies) {
  expect_parses({
      {R"(\newenvironment{e}{a}{b})",
       R"(Seq[Seq[Raw("\\newenvironment"), Char('e'), Char('a'), Char('b')]])"},
      // Bodies that open and close an environment keep those spans raw.
      {R"(\newenvironment{e}[1]{\begin{center}#1}{\end{center}})",
       R"(Seq[Seq[Raw("\\newenvironment"), Char('e'), Char('['), Char('1'), Char(']'), Raw("{\\begin{center}#"), Char('1'), Raw("}{\\end{center}}")]])"},
      // A body group that cannot be read leaves the command alone.
      {R"(\renewenvironment{e}{a})", R"(Seq[Raw("\\renewenvironment"), Seq[Char('e')], Seq[Char('a')]])"},
  });
}

TEST(MacrosTest, LetAliases) {
  expect_parses({
      {R"(\let\x=\alpha \x)", R"(Seq[Raw("\\let\\x=\\alpha"), Char(U+03B1)])"},
      {R"(\let\r\sqrt\r{2})", R"(Seq[Raw("\\let\\r\\sqrt"), Sqrt(Seq[Char('2')])])"},
      // Always-raw names are translated when reached through an alias.
      {R"(\let\v\lvert\v)", R"(Seq[Raw("\\let\\v\\lvert"), Char('|')])"},
      {R"(\let\c\coloneq\c)", R"(Seq[Raw("\\let\\c\\coloneq"), Seq[Char(':'), Char(U+2212)]])"},
      {R"(\let\y=a\y)", R"(Seq[Raw("\\let\\y=a"), Seq[Char('a')]])"},
      {R"(\let\s\,x\s)", R"(Seq[Raw("\\let\\s\\,"), Char('x'), Seq[Space(8)]])"},
      // An alias of an alias takes the first one's target.
      {R"(\let\a\beta\let\c\a\c)", R"(Seq[Raw("\\let\\a\\beta\\let\\c\\a"), Char(U+03B2)])"},
      // \let replaces a macro of the same name.
      {R"(\def\a{x}\let\a\beta\a)",
       R"(Seq[Seq[Raw("\\def\\a{"), Char('x'), Raw("}")], Raw("\\let\\a\\beta"), Char(U+03B2)])"},
      // Aliases of each other end at the built-in meaning: no loop.
      {R"(\let\a\b\let\b\a\a\b)", R"(Seq[Raw("\\let\\a\\b\\let\\b\\a\\b\\b")])"},
      {R"(\let\)", "error: dangling backslash in let name"},
      {R"(\let x)", R"(Seq[Raw("\\let"), Char('x')])"},
  });
}

TEST(MacrosTest, EnvironmentBodyFragments) {
  const std::u32string body = U"a\\begin{x}b\\end{x}\\end{c";
  const auto fragments = split_environment_definition_body_fragments(body);
  ASSERT_EQ(fragments.size(), 5u);
  EXPECT_TRUE(fragments[0].text == U"a" && !fragments[0].environment_span);
  EXPECT_TRUE(fragments[1].text == U"\\begin{x}" && fragments[1].environment_span);
  EXPECT_TRUE(fragments[2].text == U"b" && !fragments[2].environment_span);
  EXPECT_TRUE(fragments[3].text == U"\\end{x}" && fragments[3].environment_span);
  // An unclosed \end{ is plain text.
  EXPECT_TRUE(fragments[4].text == U"\\end{c" && !fragments[4].environment_span);
}

// A distinct control-word name for each number.
std::string letters(int i) {
  std::string out;
  do {
    out += static_cast<char>('a' + i % 26);
    i /= 26;
  } while (i > 0);
  return out;
}

// A thousand definitions and a thousand uses cost the same per definition
// and use as a few: the allocations grow linearly (a copy of the macro table
// per sub-parser or per definition would make them grow with the square).
TEST(MacrosTest, ManyDefinitionsAndUsesAreLinear) {
  if (!testing::allocation_counting_available())
    GTEST_SKIP() << "allocations are not counted in sanitised builds";
  auto cost = [](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "\\def\\m" + letters(i) + "#1{x_{#1}}";
    for (int i = 0; i < n; ++i) text += "\\m" + letters(i) + "{y}";
    const std::uint64_t before = testing::thread_allocation_count();
    EXPECT_TRUE(Parser(text).parse().ok());
    return testing::thread_allocation_count() - before;
  };
  const std::uint64_t thousand = cost(1000);
  const std::uint64_t two_thousand = cost(2000);
  RecordProperty("allocations_1000", static_cast<int>(thousand));
  RecordProperty("allocations_2000", static_cast<int>(two_thousand));
  EXPECT_LT(two_thousand, thousand * 9 / 4) << thousand << " then " << two_thousand;
  EXPECT_LT(thousand, 1000u * 200u);
}

}  // namespace
}  // namespace quorvix::parser
