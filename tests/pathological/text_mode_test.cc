// Text mode, its wrappers and user definitions nested far past the bound: the nesting failure
// comes back cleanly on a small stack, and nesting below it still parses.
#include <gtest/gtest.h>

#include <string>

#include "ast/nesting.h"
#include "parser/parser.h"
#include "pathological_inputs.h"
#include "small_stack.h"

namespace quorvix::parser {
namespace {

using testing::kSmallStack;
using testing::nested;
using testing::NestPattern;
using testing::repeat;

// Constructs that nest: text-mode groups scanned recursively, and arguments
// parsed as math on their own.
constexpr NestPattern kPatterns[] = {
    {"\\text{\\sout{", "}}"},
    {"\\text{\\'{", "}}"},
    {"\\mbox{", "}"},
    {"\\mbox{\\text{$x$}", "}"},
    {"\\colorbox{red}{", "}"},
    {"\\fcolorbox{a}{b}{", "}"},
    {"\\htmlId{a}{", "}"},
    {"\\mathrlap{", "}"},
    {"\\mathrlap{x}{", "}"},
    {"\\phase{", "}"},
    {"\\vcenter{", "}"},
    {"\\verb{", "}"},
    {"\\operatorname{\\,", "}"},
    // Definitions and macro arguments.
    {"\\def\\f#1{#1}\\f{", "}"},
    {"\\def\\f{", "}"},
    {"\\newcommand{\\a}{", "}"},
    {"\\newenvironment{e}{a}{", "}"},
};

TEST(TextModeNestingTest, FarPastTheBoundFailsCleanlyOnASmallStack) {
  for (const NestPattern& p : kPatterns) {
    bool nesting_error = false;
    testing::run_with_stack(kSmallStack, [&] {
      const Result<ast::Expr> r = Parser(nested(p, 100000)).parse();
      nesting_error = !r.ok() && r.error().fatal && r.error().message == kNestedTooDeeply;
    });
    EXPECT_TRUE(nesting_error) << p.open;
  }
}

TEST(TextModeNestingTest, NestingWellBelowTheBoundParsesOnASmallStack) {
  for (const NestPattern& p : kPatterns) {
    bool ok = false;
    testing::run_with_stack(kSmallStack, [&] { ok = Parser(nested(p, kMaxNestingDepth / 3)).parse().ok(); });
    EXPECT_TRUE(ok) << p.open;
  }
}

// Inside \text, \mbox and \text are ordinary commands kept raw: however deep
// the braces go, the scan stays flat and the parse succeeds.
TEST(TextModeNestingTest, BoxesInsideTextDoNotNest) {
  bool ok = false;
  testing::run_with_stack(kSmallStack, [&] {
    const Result<ast::Expr> r = Parser(nested({"\\text{\\mbox{", "}}"}, 100000)).parse();
    ok = r.ok() && !r.value().as<ast::Sequence>().items.empty();
  });
  EXPECT_TRUE(ok);
}

}  // namespace
}  // namespace quorvix::parser
