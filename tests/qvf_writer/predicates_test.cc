// The start and end predicates: which wrappers each looks through and which
// node kinds it accepts.
#include "qvf/writer/predicates.h"

#include <gtest/gtest.h>

#include <functional>

#include "parser/parser.h"
#include "quorvix_ansi/encode.h"
#include "qvf/writer/colors.h"
#include "support/bytes.h"
#include "support/source_encoding.h"
#include "support/tree_builders.h"

namespace quorvix::qvf {
namespace {

using namespace test_support;
using ast::Expr;

Expr binomial(ast::BinomialKind kind) {
  return Expr(ast::Binomial{ast::box(ch(U'a')), ast::box(ch(U'b')), kind});
}
Expr matrix(ast::MatrixKind kind) { return Expr(ast::Matrix{{{ch(U'a')}}, kind}); }
Expr environment(ast::EnvironmentKind kind) {
  ast::Environment e;
  e.rows = {{ch(U'a')}, {ch(U'b')}};
  e.kind = kind;
  return Expr(std::move(e));
}
Expr big_op(bool lower, bool body, bool nolimits = false) {
  ast::BigOperator op;
  if (lower) op.lower = ast::box(ch(U'i'));
  if (body) op.body = ast::box(ch(U'x'));
  op.nolimits = nolimits;
  return Expr(std::move(op));
}
Expr math_op(bool lower, bool nolimits = false) {
  ast::MathOp m;
  m.body = ast::box(ch(U'x'));
  if (lower) m.lower = ast::box(ch(U'i'));
  m.nolimits = nolimits;
  return Expr(std::move(m));
}
Expr integral(bool body, bool nolimits) {
  ast::Integral in;
  if (body) in.body = ast::box(ch(U'x'));
  in.nolimits = nolimits;
  return Expr(std::move(in));
}
Expr limit() { return Expr(ast::Limit{"lim", ast::box(ch(U'n')), nullptr, false}); }
Expr accent(ast::AccentKind k) { return Expr(ast::Accent{ast::box(ch(U'x')), k}); }
Expr arrow(ast::ArrowDirection direction, bool under, Expr body) {
  return Expr(ast::ArrowAccent{ast::box(std::move(body)), direction, under});
}
Expr bar(Expr body) { return Expr(ast::OverUnderline{ast::box(std::move(body)), false}); }
Expr default_color(Expr body) { return Expr(ast::DefaultColor{ast::box(std::move(body))}); }
Expr text_style(Expr body) { return style(ast::StyleKind::Text, std::move(body)); }
Expr fraction(Expr num, Expr den) {
  return Expr(ast::Fraction{ast::box(std::move(num)), ast::box(std::move(den))});
}

struct PredicateCase {
  const char* predicate;
  std::function<bool(const Expr&)> test;
  const char* what;
  Expr tree;
  bool expected;
};

TEST(Predicates, Table) {
  const auto raw_tex = expr_starts_with_raw_tex;
  const auto self_opening = expr_starts_with_self_opening;
  const PredicateCase cases[] = {
      {"raw_tex", raw_tex, "raw", raw("\\a"), true},
      {"raw_tex", raw_tex, "first item raw", seq({raw("\\a"), ch(U'x')}), true},
      {"raw_tex", raw_tex, "through a font body", font(ast::FontKind::Bold, raw("\\a")), true},
      {"raw_tex", raw_tex, "through a script base", script(raw("\\a"), ch(U'i'), std::nullopt), true},
      {"raw_tex", raw_tex, "subarray", Expr(ast::Subarray{"c", {{ch(U'a')}}}), true},
      {"raw_tex", raw_tex, "hybrid raw first", hybrid({"\\a", ch(U'x')}), true},
      {"raw_tex", raw_tex, "hybrid visible raw", hybrid({raw("\\a"), "b"}), true},
      {"raw_tex", raw_tex, "not through a group", group(raw("\\a")), false},
      {"raw_tex", raw_tex, "not through a colour", color("red", raw("\\a")), false},

      {"self_opening", self_opening, "binomial", binomial(ast::BinomialKind::Pile), true},
      {"self_opening", self_opening, "typewriter font", font(ast::FontKind::TypewriterText, ch(U'x')), true},
      {"self_opening", self_opening, "bold font", font(ast::FontKind::Bold, ch(U'x')), false},
      {"self_opening", self_opening, "colour in a sequence", seq({color("red", ch(U'x')), ch(U'y')}), true},
      {"self_opening", self_opening, "colour not through a style",
       style(ast::StyleKind::Display, color("red", ch(U'x'))), false},
      {"self_opening", self_opening, "text-style fraction", text_style(fraction(ch(U'a'), ch(U'b'))), true},
      {"self_opening", self_opening, "text-style fraction in default colour",
       default_color(text_style(fraction(ch(U'a'), ch(U'b')))), true},
      {"self_opening", self_opening, "display-style fraction",
       style(ast::StyleKind::Display, fraction(ch(U'a'), ch(U'b'))), false},
      {"self_opening", self_opening, "text-style plain", text_style(ch(U'x')), false},
      {"self_opening", self_opening, "liminf", fn("liminf"), true},
      {"self_opening", self_opening, "limsup in default colour", default_color(fn("limsup")), true},
      {"self_opening", self_opening, "lim", fn("lim"), false},
      {"self_opening", self_opening, "acute accent", accent(ast::AccentKind::Acute), true},
      {"self_opening", self_opening, "hat accent", accent(ast::AccentKind::Hat), false},
      {"self_opening", self_opening, "arrow under lim", arrow(ast::ArrowDirection::Left, true, fn("lim")),
       true},
      {"self_opening", self_opening, "two-way arrow under lim",
       arrow(ast::ArrowDirection::Both, true, fn("lim")), false},
      {"self_opening", self_opening, "arrow over lim", arrow(ast::ArrowDirection::Left, false, fn("lim")),
       false},
      {"self_opening", self_opening, "bar over lim", bar(seq({fn("lim")})), true},
      {"self_opening", self_opening, "bar over x", bar(ch(U'x')), false},
      {"self_opening", self_opening, "script on a sum sign",
       script(Expr(ast::BigOperatorSymbol{U'\u2211'}), ch(U'i'), std::nullopt), true},
      {"self_opening", self_opening, "big operator with limit only", big_op(true, false), true},
      {"self_opening", self_opening, "integral without operand", integral(false, true), true},
      {"self_opening", self_opening, "empty-base script", script(seq({}), ch(U'i'), std::nullopt), true},
      {"self_opening", self_opening, "raw", raw("\\a"), true},
      {"self_opening", self_opening, "char", ch(U'x'), false},

      {"line_layout", expr_starts_with_line_layout_object, "stackrel",
       Expr(ast::Stackrel{ast::box(ch(U'a')), ast::box(ch(U'b'))}), true},
      {"line_layout", expr_starts_with_line_layout_object, "matrix in a style in a sequence",
       seq({style(ast::StyleKind::Display, matrix(ast::MatrixKind::Plain))}), true},
      {"line_layout", expr_starts_with_line_layout_object, "not through a group",
       group(matrix(ast::MatrixKind::Plain)), false},

      {"top_matrix", expr_starts_with_top_matrix, "limit", limit(), true},
      {"top_matrix", expr_starts_with_top_matrix, "environment kind 7",
       environment(ast::EnvironmentKind::Rcases), true},
      {"top_matrix", expr_starts_with_top_matrix, "environment kind 8",
       environment(ast::EnvironmentKind::Gather), false},
      {"top_matrix", expr_starts_with_top_matrix, "mathop with limit", math_op(true), true},
      {"top_matrix", expr_starts_with_top_matrix, "mathop without limit", math_op(false), false},

      {"top_fenced_matrix", expr_starts_with_top_fenced_matrix, "matrix kind 2",
       matrix(ast::MatrixKind::Parens), true},
      {"top_fenced_matrix", expr_starts_with_top_fenced_matrix, "matrix kind 1",
       matrix(ast::MatrixKind::Small), false},
      {"top_fenced_matrix", expr_starts_with_top_fenced_matrix, "environment kind 6",
       environment(ast::EnvironmentKind::Cases), true},
      {"top_fenced_matrix", expr_starts_with_top_fenced_matrix, "not through a hybrid",
       hybrid({matrix(ast::MatrixKind::Parens)}), false},

      {"parenthesized_pile", expr_starts_with_parenthesized_pile, "binomial kind 1",
       binomial(ast::BinomialKind::Choose), true},
      {"parenthesized_pile", expr_starts_with_parenthesized_pile, "binomial kind 2",
       binomial(ast::BinomialKind::Binom), false},
      {"environment_fallback", expr_starts_with_environment_fallback, "kind 3",
       environment(ast::EnvironmentKind::Aligned), true},
      {"environment_fallback", expr_starts_with_environment_fallback, "kind 4",
       environment(ast::EnvironmentKind::Alignat), false},
      {"slotless_big_op", expr_starts_with_slotless_big_op, "bare", big_op(false, false), true},
      {"slotless_big_op", expr_starts_with_slotless_big_op, "with operand", big_op(false, true), false},
      {"side_script_integral", expr_starts_with_side_script_integral, "bare", integral(false, false), true},
      {"side_script_integral", expr_starts_with_side_script_integral, "with operand", integral(true, true),
       false},
      {"standalone_big_glyph", expr_starts_with_standalone_big_glyph, "through a group",
       group(Expr(ast::BigSymbol{U'\u2295'})), true},
      {"standalone_big_glyph", expr_starts_with_standalone_big_glyph, "not through a hybrid",
       hybrid({Expr(ast::BigSymbol{U'\u2295'})}), false},
      {"empty_base_script", expr_starts_with_empty_base_script, "in default colour",
       default_color(script(seq({}), std::nullopt, ch(U'2'))), true},
      {"empty_base_script", expr_starts_with_empty_base_script, "with a base",
       script(ch(U'x'), std::nullopt, ch(U'2')), false},

      {"ends_with_limit_like", expr_ends_with_limit_like_template, "last item limit",
       seq({ch(U'x'), limit()}), true},
      {"ends_with_limit_like", expr_ends_with_limit_like_template, "first item limit",
       seq({limit(), ch(U'x')}), false},
      {"ends_with_limit_like", expr_ends_with_limit_like_template, "integral with limits in a style",
       style(ast::StyleKind::Display, seq({ch(U'x'), integral(false, false)})), true},
      {"ends_with_limit_like", expr_ends_with_limit_like_template, "integral beside", integral(false, true),
       false},
      {"ends_with_limit_like", expr_ends_with_limit_like_template, "sum with limit", big_op(true, true),
       true},
      {"ends_with_limit_like", expr_ends_with_limit_like_template, "sum without limit", big_op(false, true),
       false},
      {"ends_with_limit_like", expr_ends_with_limit_like_template, "mathop beside", math_op(true, true),
       false},

      {"only_spaces", expr_is_only_spaces, "space", space(1), true},
      {"only_spaces", expr_is_only_spaces, "empty sequence", seq({}), false},
      {"only_spaces", expr_is_only_spaces, "spaces through a style",
       seq({space(1), style(ast::StyleKind::Text, seq({space(2)}))}), true},
      {"only_spaces", expr_is_only_spaces, "nested empty sequence", seq({space(1), seq({})}), false},
      {"only_spaces", expr_is_only_spaces, "space and char", seq({space(1), ch(U'x')}), false},
      {"only_spaces", expr_is_only_spaces, "char deep behind spaces",
       seq({space(1), seq({space(2), style(ast::StyleKind::Text, seq({space(1), ch(U'x')}))}), space(3)}),
       false},
      {"only_spaces", expr_is_only_spaces, "bodiless style",
       seq({space(1), ast::Style{nullptr, ast::StyleKind::Text}}), false},

      {"sets_own_color", expr_sets_own_color, "default colour", default_color(ch(U'x')), true},
      {"sets_own_color", expr_sets_own_color, "colour first", seq({color("teal", ch(U'x')), ch(U'y')}), true},
      {"sets_own_color", expr_sets_own_color, "hybrid raw first", hybrid({"\\a"}), true},
      {"sets_own_color", expr_sets_own_color, "text-style fraction", text_style(fraction(ch(U'a'), ch(U'b'))),
       true},
      {"sets_own_color", expr_sets_own_color, "text-style integral beside", text_style(integral(false, true)),
       true},
      {"sets_own_color", expr_sets_own_color, "text level stops the descent", text_style(raw("\\a")), false},
      {"sets_own_color", expr_sets_own_color, "display style descends",
       style(ast::StyleKind::Display, raw("\\a")), true},
      {"sets_own_color", expr_sets_own_color, "binomial kind 2", binomial(ast::BinomialKind::Binom), true},
      {"sets_own_color", expr_sets_own_color, "binomial kind 1", binomial(ast::BinomialKind::Choose), false},
      {"sets_own_color", expr_sets_own_color, "char", ch(U'x'), false},

      {"sqrt_index_restore", expr_requires_explicit_sqrt_index_restore, "ends with a big operator",
       seq({ch(U'x'), big_op(false, true)}), true},
      {"sqrt_index_restore", expr_requires_explicit_sqrt_index_restore,
       "fraction whose denominator ends with mathop",
       fraction(ch(U'a'), seq({ch(U'b'), default_color(math_op(false))})), true},
      {"sqrt_index_restore", expr_requires_explicit_sqrt_index_restore, "plain fraction",
       fraction(ch(U'a'), ch(U'b')), false},
  };
  for (const PredicateCase& c : cases) EXPECT_EQ(c.test(c.tree), c.expected) << c.predicate << ": " << c.what;
}

// The stream writer skips the tests of a tree's start for trees that start
// plainly. Over parsed formulas, each of those tests must give there the
// answer the writer then takes for granted.
TEST(Predicates, PlainStartsNeedNoneOfTheStartTests) {
  struct Case {
    const char* tex;
    bool plain;
  };
  const Case cases[] = {
      {"x", true},
      {"\\alpha+1", true},
      {"ab\\over c", true},
      {"{{x}}y", true},
      {"x^2", false},
      {"\\sum_i x", false},
      {"\\frac12", false},
      {"\\mathrm{x}", false},
      {"\\color{red}x", false},
      {"\\left(x\\right)", false},
      {"\\unknowncommand x", false},
      {"\\,x", false},
      {"\\lim x", false},
      {"\\textstyle x", false},
      {"\\begin{matrix}a\\end{matrix}", false},
      {"x\\color{red}y", true},
      {"\\infty+\\sqrt{2}", true},
      {"", false},
  };
  for (const Case& c : cases) {
    Result<Expr> tree = parser::Parser(c.tex, quorvix_ansi::SourceEncoding()).parse();
    ASSERT_TRUE(tree.ok()) << c.tex;
    EXPECT_EQ(expr_starts_plainly(*tree), c.plain) << c.tex;
    if (!expr_starts_plainly(*tree)) continue;
    EXPECT_FALSE(expr_is_only_spaces(*tree)) << c.tex;
    EXPECT_TRUE(leading_space_rest(*tree).spaces.empty()) << c.tex;
    EXPECT_FALSE(expr_starts_with_self_opening(*tree)) << c.tex;
    EXPECT_FALSE(expr_starts_with_top_matrix(*tree)) << c.tex;
    EXPECT_FALSE(expr_starts_with_top_fenced_matrix(*tree)) << c.tex;
    EXPECT_FALSE(expr_starts_with_slotless_big_op(*tree)) << c.tex;
    EXPECT_FALSE(expr_starts_with_standalone_big_glyph(*tree)) << c.tex;
    EXPECT_FALSE(expr_starts_with_raw_tex(*tree)) << c.tex;
    EXPECT_FALSE(expr_sets_own_color(*tree)) << c.tex;
    EXPECT_FALSE(is_bodyless_limited_operator(descend(*tree, through::kSequence | through::kStyle))) << c.tex;
  }
}

TEST(Predicates, LeadingSpaceRest) {
  const Expr s = seq({space(1), space(2), ch(U'x'), space(3)});
  LeadingSpaces lead = leading_space_rest(s);
  EXPECT_EQ(lead.spaces.size(), 2u);
  ASSERT_EQ(lead.rest.size(), 2u);
  EXPECT_TRUE(lead.rest[0].is<ast::Char>());

  const Expr single = space(4);
  lead = leading_space_rest(single);
  EXPECT_EQ(lead.spaces.size(), 1u);
  EXPECT_TRUE(lead.rest.empty());

  EXPECT_TRUE(leading_space_rest(seq({ch(U'x'), space(1)})).spaces.empty());
  EXPECT_TRUE(leading_space_rest(style(ast::StyleKind::Script, space(1))).spaces.empty());
}

}  // namespace
}  // namespace quorvix::qvf
