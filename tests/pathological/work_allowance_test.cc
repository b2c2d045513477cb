// The work allowance: texts that recovery rules would read again once per
// enclosing failure stop with a fatal error at the allowance, while texts
// read once or twice parse whatever their length.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parser/parser.h"
#include "pathological_inputs.h"

namespace quorvix::parser {
namespace {

using testing::repeat;

constexpr std::size_t kTail = 64 * 1024;

// `levels` openers, a long run of `x`, and `closer` once at the end.
std::string around_tail(std::string_view opener, std::size_t levels, std::string_view closer = "") {
  return repeat(opener, levels) + std::string(kTail, 'x') + std::string(closer);
}

struct Outcome {
  bool ok = false;
  std::string message;
  bool fatal = false;
  std::size_t work = 0;
  std::size_t allowance = 0;
};

Outcome parse_measured(const std::string& text) {
  Parser p(text);
  Result<ast::Expr> r = std::move(p).parse();
  Outcome out{r.ok(), r.ok() ? "" : r.error().message, !r.ok() && r.error().fatal, p.work_done(),
              p.work_allowance()};
  return out;
}

struct Case {
  const char* name;
  std::string text;
};

// Each level below succeeds on the whole tail before the level around it
// fails, so every level reads the tail once more.
TEST(WorkAllowanceTest, TailsReadOncePerEnclosingFailureStopAtTheAllowance) {
  const std::vector<Case> cases = {
      {"roots whose index closes at the end", around_tail("{\\frac{\\sqrt[", 30, "]")},
      {"environments in groups", around_tail("{\\begin{aligned}", 49, "\\end{aligned}")},
      {"one closed environment in fractions", around_tail("\\frac{\\begin{pmatrix}", 49, "\\end{pmatrix}")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome out = parse_measured(c.text);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, kTooMuchWork);
    EXPECT_TRUE(out.fatal);
    // The parse ends at the first scope past the allowance.
    EXPECT_EQ(out.work, out.allowance + 1);
  }
}

// A long text behind failures that are each read again only once, or
// behind failures that end at once, parses.
TEST(WorkAllowanceTest, TextsReadOnceOrTwiceParseAtAnyLength) {
  const std::vector<Case> cases = {
      {"flat", std::string(kTail, 'x')},
      {"one unclosed group", around_tail("{", 1)},
      {"unclosed groups", around_tail("{", 99)},
      {"groups closed once at the end", around_tail("{", 99, "}")},
      {"unclosed bold arguments", around_tail("\\mathbf{", 90)},
      {"unclosed fractions", around_tail("\\frac{", 60)},
      {"unclosed environments", around_tail("\\begin{pmatrix}", 99)},
      {"physics matrices closed at the end",
       repeat("\\pmqty{a&", 49) + std::string(kTail, 'x') + repeat("}", 49)},
      {"closed groups", repeat("{", 99) + std::string(kTail, 'x') + repeat("}", 99)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome out = parse_measured(c.text);
    EXPECT_TRUE(out.ok) << out.message;
    EXPECT_LE(out.work, 3 * c.text.size()) << "more than three reads per character";
  }
}

// Arguments of macro uses (and other stretches of the text read as texts
// of their own) are read by parsers of their own; their atoms count
// towards the same allowance.
TEST(WorkAllowanceTest, TextsReadByParsersOfTheirOwnCountToo) {
  const std::string argument(kTail, 'x');
  const Outcome out = parse_measured("\\def\\zz#1{#1}\\zz{" + argument + "}");
  EXPECT_TRUE(out.ok) << out.message;
  EXPECT_GE(out.work, argument.size());
  EXPECT_LE(out.work, argument.size() + 100);
}

}  // namespace
}  // namespace quorvix::parser
