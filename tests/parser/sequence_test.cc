// The sequence loop, atom dispatch and literal characters, through whole parses.
#include <cstdlib>
#include <list>
#include <string>

#include <gtest/gtest.h>

#include "allocation_count.h"
#include "parse_test_util.h"
#include "support/source_encoding.h"

namespace quorvix::parser {
namespace {

using testing::dump_result;
using testing::parse_dump;

using testing::expect_parses;

using test_support::ScopedSourceEncoding;

// A flat text of characters that need no heap of their own parses with the
// same allocations whatever its length: its items are stored once, not
// moved along as a growing list doubles.
TEST(SequenceTest, FlatTextsAllocateTheSameWhateverTheirLength) {
  if (!testing::allocation_counting_available())
    GTEST_SKIP() << "allocations are not counted in sanitised builds";
  auto allocations = [](const std::string& text) {
    const std::uint64_t before = testing::thread_allocation_count();
    EXPECT_TRUE(Parser(text).parse().ok());
    return testing::thread_allocation_count() - before;
  };
  for (const std::string unit : {"x", "7", "a+b=", "(x)"}) {
    std::string short_text, long_text;
    while (short_text.size() < 1000) short_text += unit;
    while (long_text.size() < 200000) long_text += unit;
    EXPECT_EQ(allocations(long_text), allocations(short_text)) << unit;
  }
}

// Once a formula has been parsed on a thread, parsing one of the same shape
// takes no memory from the allocator: lists, trees, sub-parsers and the
// layout notes of environments all reuse the blocks the first parse freed.
TEST(SequenceTest, ASecondParseOfTheSameShapeAllocatesNothing) {
  if (!testing::allocation_counting_available())
    GTEST_SKIP() << "allocations are not counted in sanitised builds";
  std::string long_flat;
  for (int i = 0; i < 60; ++i) long_flat += "x_1+";
  const std::string cases[] = {
      long_flat,
      "\\begin{array}{cc} a & b \\\\ c & d \\\\ e & f \\\\ g & h \\end{array}",
      "\\begin{align} a &= 1 & b &= 2 \\\\ 3a &= 3 \\notag \\\\ c &= d \\end{align}",
      "\\begin{matrix} 1 & 2 & 3 & 4 & 5 & 6 & 7 & 8 & 9 & 10 \\end{matrix}",
      "\\def\\x#1{#1^2}\\x{a}+\\x{b}",
      "\\text{ab \\'e \\`a \\^o}",
  };
  for (const std::string& text : cases) {
    EXPECT_TRUE(Parser(text).parse().ok()) << text;
    const std::uint64_t before = testing::thread_allocation_count();
    EXPECT_TRUE(Parser(text).parse().ok()) << text;
    EXPECT_EQ(testing::thread_allocation_count() - before, 0U) << text;
  }
}

TEST(SequenceTest, BracesAndRecovery) {
  expect_parses({
      {"", "Seq[]"},
      {"x}", "Seq[Char('x'), Raw(\"}\")]"},
      {"{x", "Seq[Raw(\"{\"), Char('x')]"},
      {"{{x", "Seq[Raw(\"{{\"), Char('x')]"},
      {"}{", "Seq[Raw(\"}{\")]"},
      {"{}", "Seq[]"},
      {"a{}b", "Seq[Char('a'), Char('b')]"},
      {"{a}", "Seq[Seq[Char('a')]]"},
      {"{a{b}c", "Seq[Raw(\"{\"), Char('a'), Seq[Char('b')], Char('c')]"},
      {"{a}}b", "Seq[Seq[Char('a')], Raw(\"}\"), Char('b')]"},
      {"{{}", "Seq[Raw(\"{\")]"},
  });
}

TEST(SequenceTest, WhitespaceStaysOnlyInFrontOfRawText) {
  expect_parses({
      {"  a  b  ", "Seq[Char('a'), Char('b')]"},
      {"a&b", "Seq[Char('a'), Raw(\"&\"), Char('b')]"},
      {"a & b", "Seq[Char('a'), Raw(\" &\"), Char('b')]"},
      {"a \\foo \\bar", "Seq[Char('a'), Raw(\" \\\\foo \\\\bar\")]"},
      {"\\foo", "Seq[Raw(\"\\\\foo\")]"},
      {"a\r\n\\foo", "Seq[Char('a'), Raw(\"\\r\\n\\\\foo\")]"},
      {" 'x", "Seq[Raw(\" '\"), Char('x')]"},
      {"x \" # ", "Seq[Char('x'), Raw(\" \\\" #\")]"},
      {"\\allowbreak  x", "Seq[Raw(\"\\\\allowbreak  \"), Char('x')]"},
      {"a \xE2\x80\x83\\foo", "Seq[Char('a'), Raw(\" \xE2\x80\x83\\\\foo\")]"},
  });
}

TEST(SequenceTest, ControlWordsEndAtTheFirstNonLetter) {
  expect_parses({
      {"\\foo1", "Seq[Raw(\"\\\\foo\"), Char('1')]"},
      {"\\foo{a}", "Seq[Raw(\"\\\\foo\"), Seq[Char('a')]]"},
      {"\\", "error: dangling backslash"},
      {"a \\", "error: dangling backslash"},
  });
}

TEST(SequenceTest, FixedFragmentCharacters) {
  expect_parses({
      {"\xE2\x8A\x95", "Seq[Raw(\"\xC2\xA8n\")]"},                               // U+2295
      {"a \xE2\x8A\x95", "Seq[Char('a'), Raw(\" \xC2\xA8n\")]"},                 // space kept
      {"\xE2\x89\x92", "Seq[Seq[Raw(\"\xC2\xA8\"), Char('P')]]"},                // U+2252
      {"a \xE2\x89\xA6", "Seq[Char('a'), Seq[Raw(\" \xC2\xA8\"), Char('Q')]]"},  // U+2266
      {"\xE2\x89\xA7", "Seq[Seq[Raw(\"\xC2\xA8\"), Char('R')]]"},                // U+2267
  });
}

// A run of characters that are atoms of their own, and the characters that
// end it because they attach to the one before or are not plain.
TEST(SequenceTest, PlainCharacterRunsAndWhatEndsThem) {
  expect_parses({
      {"ab1+=", R"(Seq[Char('a'), Char('b'), Char('1'), Char('+'), Char('=')])"},
      {"(x)!", R"(Seq[Char('('), Char('x'), Char(')'), Char('!')])"},
      {"a\"b", R"(Seq[Char('a'), Raw("\""), Char('b')])"},
      {"a#b&c", R"(Seq[Char('a'), Raw("#"), Char('b'), Raw("&"), Char('c')])"},
      {"ab'c", R"(Seq[Char('a'), Seq[Char('b'), Char('\'')], Char('c')])"},
      {"ab^2c", R"(Seq[Char('a'), Script(Char('b'), sup=Char('2')), Char('c')])"},
      {"ab_2", R"(Seq[Char('a'), Script(Char('b'), sub=Char('2'))])"},
      {"ab[']", R"(Seq[Char('a'), Seq[Char('b'), CommandSymbol("prime", U+2032)]])"},
      {"ab [x]", R"(Seq[Char('a'), Char('b'), Char('['), Char('x'), Char(']')])"},
      {"ab\\alpha", R"(Seq[Char('a'), Char('b'), Char(U+03B1)])"},
      {"ab\\over cd", R"(Seq[Char('a'), Char('b'), Raw("\\over"), Char('c'), Char('d')])"},
      {"{a]b}c", R"(Seq[Seq[Char('a'), Char(']'), Char('b')], Char('c')])"},
      {"\\sqrt[ab]{c}", R"(Seq[Root(Seq[Char('a'), Char('b')], Seq[Char('c')])])"},
  });
}

TEST(SequenceTest, NonAsciiLiteralsFollowTheSourceEncoding) {
  {
    ScopedSourceEncoding enc(nullptr);  // UTF-8: the two bytes of U+00E9 as one raw run
    expect_parses({
        {"a \xC3\xA9", "Seq[Char('a'), Raw(\" \xC3\x83\xC2\xA9\")]"},
        {"\xE2\x82\xAC", "Seq[Raw(\"\xC3\xA2\xC2\x82\xC2\xAC\")]"},                          // U+20AC
        {"\xF0\x9F\x98\x80x", "Seq[Raw(\"\xC3\xB0\xC2\x9F\xC2\x98\xC2\x80\"), Char('x')]"},  // U+1F600
    });
  }
  {
    ScopedSourceEncoding enc("windows-1252");
    expect_parses({
        {"\xC3\xA9", "Seq[Raw(\"\xC3\xA9\")]"},       // U+00E9 -> byte E9 -> U+00E9
        {"a \xCE\xB1", "Seq[Char('a'), Char('?')]"},  // Greek alpha: not representable
    });
  }
  {
    ScopedSourceEncoding enc("gbk");
    expect_parses({
        {"\xE4\xB8\xAD", "Seq[Raw(\"\xC3\x96\xC3\x90\")]"},      // U+4E2D -> D6 D0
        {"\xF0\x9F\x98\x80", "Seq[Seq[Char('?'), Char('?')]]"},  // above U+FFFF
    });
  }
  {
    ScopedSourceEncoding enc("latin1");
    EXPECT_EQ(parse_dump("\xC3\xA9"),
              "error: unsupported QUORVIX_SOURCE_ENCODING value \"latin1\"; expected utf-8, gbk, or "
              "windows-1252");
    EXPECT_EQ(parse_dump("x"), "Seq[Char('x')]");  // ASCII never reaches the encoder
  }
}

TEST(SequenceTest, DefinitionKeptRawTakesTheFollowingAtoms) {
  expect_parses({
      {"{\\newcommand}x y", "Seq[Seq[Raw(\"\\\\newcommand\"), Char('x'), Char('y')]]"},
      {"{\\newcommand}{\\renewcommand}x",
       "Seq[Seq[Raw(\"\\\\newcommand\")], Seq[Raw(\"\\\\renewcommand\"), Char('x')]]"},
      {"{\\let}x", "Seq[Seq[Raw(\"\\\\let\")], Char('x')]"},
  });
}

TEST(SequenceTest, StopCharacterMessages) {
  Parser p("a");
  EXPECT_EQ(dump_result(p.parse_sequence(U']')), "error: expected ']', found None");
  Parser q("a}");
  EXPECT_EQ(dump_result(q.parse_sequence(U'}')), "Seq[Char('a')]");
  EXPECT_TRUE(q.at_end());
  Parser r("");
  EXPECT_EQ(dump_result(r.parse_atom()), "error: expected atom, found None");
}

TEST(SequenceTest, UnclosedGroupsFailOncePerPosition) {
  const int n = 40;
  const std::string input = std::string(n, '{') + "x";
  Parser p(input);
  auto r = p.parse_sequence(std::nullopt);
  EXPECT_EQ(
      dump_result(r), "Seq[" + std::string() + [&] {
        std::string s;
        for (int i = 0; i < n; ++i) s += "Raw(\"{\"), ";
        return s;
      }() + "Char('x')]");
  // Every brace failed exactly once; every later attempt was a memo hit.
  EXPECT_EQ(p.attempt_memo().size(), static_cast<std::size_t>(n));
}

TEST(SequenceTest, NestingBoundIsFatal) {
  const std::size_t ok_levels = kMaxNestingDepth - 1;
  const std::string ok = std::string(ok_levels, '{') + "x" + std::string(ok_levels, '}');
  auto r = Parser(ok).parse();
  ASSERT_TRUE(r.ok()) << r.error().message;

  for (const std::string& too_deep :
       {std::string(kMaxNestingDepth, '{') + "x" + std::string(kMaxNestingDepth, '}'),
        std::string(kMaxNestingDepth, '{') + "x"}) {
    auto bad = Parser(too_deep).parse();
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().message, kNestedTooDeeply);
    EXPECT_TRUE(bad.error().fatal);
  }
}

TEST(SequenceTest, MacroReplacementContinuesTheNestingCount) {
  Parser p("");
  EXPECT_EQ(dump_result(p.parse_macro_replacement("a \\foo ")), "Seq[Char('a'), Raw(\" \\\\foo\")]");

  // With half the levels used, the sub-parser has only the other half left.
  const std::size_t used = kMaxNestingDepth / 2;
  std::list<Parser::NestingScope> scopes;
  for (std::size_t i = 0; i < used; ++i) scopes.emplace_back(p);
  const std::size_t left = kMaxNestingDepth - used;
  // The sub-parser itself is one level, its atoms one more each.
  EXPECT_TRUE(p.parse_macro_replacement(std::string(left - 2, '{') + "x").ok());
  auto deep = p.parse_macro_replacement(std::string(left - 1, '{') + "x");
  ASSERT_FALSE(deep.ok());
  EXPECT_TRUE(deep.error().fatal);
}

}  // namespace
}  // namespace quorvix::parser
