// What the parser keeps as raw TeX: unrecognised commands with what they
// visibly carry, \right without \left, row breaks outside environments and
// environments copied around their visible body.
#include <gtest/gtest.h>

#include <string>

#include "parse_test_util.h"

namespace quorvix::parser {
namespace {

using testing::dump_result;

using testing::expect_parses;

// The \begin or \end piece of an environment whose name is shown as
// characters.
std::string spelled(const char* command, std::string_view name) {
  std::string out = "Seq[Raw(\"\\\\" + std::string(command) + "\"), Seq[";
  for (std::size_t i = 0; i < name.size(); ++i)
    out += (i > 0 ? ", Char('" : "Char('") + std::string(1, name[i]) + "')";
  return out + "]]";
}

TEST(RawFallbackTest, UnrecognisedCommands) {
  expect_parses({
      {"\\foo", "Seq[Raw(\"\\\\foo\")]"},
      {"a \\foo", "Seq[Char('a'), Raw(\" \\\\foo\")]"},
      {"a \\foo \\bar", "Seq[Char('a'), Raw(\" \\\\foo \\\\bar\")]"},
      {"\\foo{a}", "Seq[Raw(\"\\\\foo\"), Seq[Char('a')]]"},
      // Not yet translated constructs take the same path.
      {"\\ket{a}{b}", "Seq[Raw(\"\\\\ket\"), Seq[Char('a')], Seq[Char('b')]]"},
  });
}

TEST(RawFallbackTest, OptionsAreShownAsCharacters) {
  expect_parses({
      {"\\foo[a]b", "Seq[Seq[Raw(\"\\\\foo\"), Char('['), Char('a'), Char(']')], Char('b')]"},
      {"\\foo [a][]", "Seq[Seq[Raw(\"\\\\foo\"), Char('['), Char('a'), Char(']'), Char('['), Char(']')]]"},
      {"\\ket[3]{x}", "Seq[Seq[Raw(\"\\\\ket\"), Char('['), Char('3'), Char(']')], Seq[Char('x')]]"},
      // An option without its `]` stays ordinary input.
      {"\\foo [a", "Seq[Raw(\"\\\\foo\"), Char('['), Char('a')]"},
      {"\\foo[a][b", "Seq[Seq[Raw(\"\\\\foo\"), Char('['), Char('a'), Char(']')], Char('['), Char('b')]"},
      {"\\allowbreak[a]", "Seq[Seq[Raw(\"\\\\allowbreak\"), Char('['), Char('a'), Char(']')]]"},
  });
}

TEST(RawFallbackTest, SizeWordsJoinTheCommandAndTakeTheRestOfTheGroup) {
  expect_parses({
      {"\\foo\\big x", "Seq[Seq[Raw(\"\\\\foo\\\\big\"), Char('x')]]"},
      {"{\\foo \\big \\Bigm x y}z",
       "Seq[Seq[Seq[Raw(\"\\\\foo\\\\big\\\\Bigm\"), Char('x'), Char('y')]], Char('z')]"},
      {"\\foo\\big", "Seq[Raw(\"\\\\foo\\\\big\")]"},
      {"\\foo\\bigger x", "Seq[Raw(\"\\\\foo\\\\bigger\"), Char('x')]"},
      // Nothing to take: the end of the group, `&`, \right, a row break.
      {"\\foo\\big & x", "Seq[Raw(\"\\\\foo\\\\big &\"), Char('x')]"},
      {"\\foo\\Bigg\\right)", "Seq[Raw(\"\\\\foo\\\\Bigg\\\\right)\")]"},
      {"\\foo\\big\\\\x", "Seq[Raw(\"\\\\foo\\\\big\\\\\\\\\"), Char('x')]"},
      // With an option shown, the rest is not taken.
      {"\\foo\\big[a] x", "Seq[Seq[Raw(\"\\\\foo\\\\big\"), Char('['), Char('a'), Char(']')], Char('x')]"},
      {"\\foo\\big {", "error: expected '}', found None"},
  });
}

TEST(RawFallbackTest, RightWithoutLeft) {
  expect_parses({
      {"\\right)", "Seq[Raw(\"\\\\right)\")]"},
      {"x\\right )", "Seq[Char('x'), Raw(\"\\\\right )\")]"},
      {"\\right.", "Seq[Raw(\"\\\\right.\")]"},
      {"\\right\\|", "Seq[Raw(\"\\\\right\\\\|\")]"},
      {"\\right\\rgroup x", "Seq[Raw(\"\\\\right\\\\rgroup\"), Char('x')]"},
      {"\\right", "Seq[Raw(\"\\\\right\")]"},
      // Not a delimiter: the size word is absorbed as after any raw command.
      {"\\right\\big x", "Seq[Seq[Raw(\"\\\\right\\\\big\"), Char('x')]]"},
  });
}

TEST(RawFallbackTest, RowBreaksOutsideEnvironments) {
  expect_parses({
      {"a\\\\ b", "Seq[Char('a'), Raw(\"\\\\\\\\\"), Char('b')]"},
      {"a \\\\  \\foo", "Seq[Char('a'), Raw(\" \\\\\\\\\\\\foo\")]"},
      {"\\\\[2pt]", "Seq[Raw(\"\\\\\\\\\"), Char('['), Char('2'), Char('p'), Char('t'), Char(']')]"},
      {"\\\\(x", "Seq[Raw(\"\\\\\\\\(\"), Char('x')]"},
      {"{a\\\\}}", "Seq[Seq[Char('a'), Raw(\"\\\\\\\\}\")]]"},
      {"\\\\x", "Seq[Raw(\"\\\\\\\\\"), Char('x')]"},
      {"\\\\", "Seq[Raw(\"\\\\\\\\\")]"},
  });
}

TEST(RawFallbackTest, EnvironmentsKeptRaw) {
  const std::string x_begin = spelled("begin", "x"), x_end = spelled("end", "x");
  expect_parses({
      {"\\begin{multline}a\\end{multline}",
       "Seq[Seq[" + spelled("begin", "multline") + ", Char('a'), " + spelled("end", "multline") + "]]"},
      {"\\begin{x} a & b \\\\ c\\end{x}z",
       "Seq[Seq[" + x_begin + ", Char('a'), Raw(\" &\"), Char('b'), Char('c'), " + x_end + "], Char('z')]"},
      {"\\begin{gather*}a \\\\ b\\\\c\\end{gather*}",
       "Seq[Seq[" + spelled("begin", "gather*") +
           ", Char('a'), Raw(\" \\\\\\\\\"), Char('b'), Raw(\"\\\\\\\\\"), "
           "Char('c'), " +
           spelled("end", "gather*") + "]]"},
      // Whitespace in front of raw text is kept once.
      {"\\begin{x} \\foo \\baz \\end{x}",
       "Seq[Seq[" + x_begin + ", Raw(\" \\\\foo \\\\baz \"), " + x_end + "]]"},
      // A group around an environment kept raw keeps its braces.
      {"{\\begin{x}a\\end{x}}",
       "Seq[Seq[Seq[Seq[Raw(\"{\\\\begin\"), Seq[Char('x')]], Char('a'), " + x_end + ", Raw(\"}\")]]]"},
      {"\\begin{\\foo}a\\end{\\foo}",
       "Seq[Seq[Raw(\"\\\\begin\\\\foo\"), Char('a'), Raw(\"\\\\end\\\\foo\")]]"},
      {"\\begin{x}a", "Seq[Seq[" + x_begin + ", Char('a')]]"},
      {"\\begin{x}a\\end", "Seq[Seq[" + x_begin + ", Char('a'), Raw(\"\\\\end\")]]"},
      {"\\begin{x}a\\end {x}b", "Seq[Seq[" + x_begin + ", Char('a'), " + x_end + "], Char('b')]"},
      // Another environment's \end stays inside.
      {"\\begin{x}a\\end{y}b\\end{x}",
       "Seq[Seq[" + x_begin + ", Char('a'), " + spelled("end", "y") + ", Char('b'), " + x_end + "]]"},
      // An inner environment meeting the outer \end closes both.
      {"\\begin{x}\\begin{y}a \\end{x}b", "Seq[Seq[" + x_begin + ", Seq[" + spelled("begin", "y") +
                                              ", Char('a'), Raw(\" \")], " + x_end + "], Char('b')]"},
      {"\\begin{x}\\eqref{y}", "Text(\"(Tex translation failed)\")"},
      {"\\begin", "error: expected braced environment name"},
      {"\\begin{x}\\displaystyle{", "error: expected '}', found None"},
      {"\\begin{x}\\mathbf{", "Seq[Seq[" + x_begin + ", Raw(\"\\\\mathbf{\")]]"},
  });
}

// Inner environments that close an outer one from inside an argument that
// later fails are undone with the argument: the outer body goes on.
TEST(RawFallbackTest, AClosingUndoneWithItsAttemptIsForgotten) {
  const std::string a_begin = spelled("begin", "a"), a_end = spelled("end", "a");
  expect_parses({
      {"\\begin{a}\\mathbf{\\begin{b}x\\end{a}y z", "Seq[Seq[" + a_begin + ", Raw(\"\\\\mathbf{\"), Seq[" +
                                                        spelled("begin", "b") + ", Char('x')], " + a_end +
                                                        "], Char('y'), Char('z')]"},
  });
}

TEST(RawFallbackTest, EnvironmentStacksAreLeftAsFound) {
  for (const char* input : {"\\begin{x}a\\end{x}", "\\begin{x}\\begin{y}a\\end{x}", "\\begin{x}a",
                            "\\begin{x}\\eqref{a}", "\\begin{x}\\begin{y}{"}) {
    Parser p(input);
    (void)p.parse_sequence(std::nullopt);
    EXPECT_TRUE(p.environment_stack().empty()) << input;
    EXPECT_TRUE(p.shell_stack().empty()) << input;
    EXPECT_EQ(p.closed_shell(), Parser::kNoClosedShell) << input;
  }
}

TEST(RawFallbackTest, SwitchContentStopsWithoutConsuming) {
  for (const char* stop : {"&", "}", "\\right)", "\\\\"}) {
    Parser p(std::string("a b ") + stop);
    EXPECT_EQ(dump_result(p.parse_switch_content()), "Seq[Char('a'), Char('b')]") << stop;
    EXPECT_TRUE(p.starts_with(" ") || p.starts_with(stop)) << stop;
  }
  Parser group("{a}b");
  EXPECT_EQ(dump_result(group.parse_switch_content()), "Seq[Char('a')]");
  EXPECT_TRUE(group.starts_with("b"));
}

}  // namespace
}  // namespace quorvix::parser
