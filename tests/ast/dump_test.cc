#include "ast/dump.h"

#include <gtest/gtest.h>

namespace quorvix::ast {
namespace {

Box c(char32_t ch) { return box(make_char(ch)); }

Rows one_row(char32_t a, char32_t b) {
  Rows rows(1);
  rows[0].push_back(make_char(a));
  rows[0].push_back(make_char(b));
  return rows;
}

TEST(DumpTest, EveryKind) {
  std::vector<HybridPart> parts;
  parts.emplace_back(std::in_place_type<HybridRaw>, HybridRaw{"\\begin"});
  parts.emplace_back(std::in_place_type<HybridVisible>, HybridVisible{c('a')});
  Rows two_rows = one_row('a', 'b');
  two_rows.emplace_back();
  two_rows.back().push_back(make_char(U'c'));

  struct Case {
    Expr expr;
    const char* dump;
  };
  Case cases[] = {
      {make_sequence({make_char(U'x'), make_raw("}")}), "Seq[Char('x'), Raw(\"}\")]"},
      {Expr(DefaultColor{c(0xEF01)}), "DefaultColor(Char(U+EF01))"},
      {Expr(Hybrid{std::move(parts)}), "Hybrid[Raw(\"\\\\begin\"), Visible(Char('a'))]"},
      {make_char(U'\''), "Char('\\'')"},
      {Expr(SizedDelimiter{U'('}), "SizedDelimiter('(')"},
      {Expr(Group{c('a')}), "Group(Char('a'))"},
      {Expr(CommandSymbol{"prime", 0x2032}), "CommandSymbol(\"prime\", U+2032)"},
      {Expr(BigSymbol{0x2295}), "BigSymbol(U+2295)"},
      {Expr(BigOperatorSymbol{0x2294}), "BigOperatorSymbol(U+2294)"},
      {Expr(Empty{}), "Empty"},
      {make_raw("a\"b\r\n\x01"), "Raw(\"a\\\"b\\r\\n\\x01\")"},
      {Expr(Space{8}), "Space(8)"},
      {Expr(FunctionName{"sin"}), "FunctionName(\"sin\")"},
      {make_text("\xC3\xA9"), "Text(\"\xC3\xA9\")"},
      {Expr(Color{"red", c('a')}), "Color(\"red\", Char('a'))"},
      {Expr(Style{c('a'), StyleKind::ScriptScript}), "Style(ScriptScript, Char('a'))"},
      {Expr(Font{c('R'), FontKind::MathBb}), "Font(MathBb, Char('R'))"},
      {Expr(Accent{c('a'), AccentKind::Check}), "Accent(Check, Char('a'))"},
      {Expr(ArrowAccent{c('v'), ArrowDirection::Right, false}), "ArrowAccent(1, over, Char('v'))"},
      {Expr(OverUnderline{c('a'), true}), "Underline(Char('a'))"},
      {Expr(Strike{c('a'), StrikeKind::Xcancel}), "Strike(Xcancel, Char('a'))"},
      {Expr(Not{c('=')}), "Not(Char('='))"},
      {Expr(Fraction{c('a'), c('b')}), "Frac(Char('a'), Char('b'))"},
      {Expr(Sqrt{c('a')}), "Sqrt(Char('a'))"},
      {Expr(Root{c('3'), c('a')}), "Root(Char('3'), Char('a'))"},
      {Expr(BigOperator{c('i'), nullptr, c('x'), BigOperatorKind::Sum, true}),
       "BigOp(Sum, lower=Char('i'), body=Char('x'), nolimits)"},
      {Expr(BigOperatorBody{c('x'), BigOperatorKind::Prod}), "BigOpBody(Prod, Char('x'))"},
      {Expr(Limit{"lim", c('x'), nullptr, false}), "Limit(\"lim\", lower=Char('x'))"},
      {Expr(MathOp{c('T'), nullptr, c('n'), false, true}), "MathOp(Char('T'), upper=Char('n'), unbraced)"},
      {Expr(IntegralSign{IntegralKind::Oint}), "IntegralSign(Oint)"},
      {Expr(Integral{c('0'), c('1'), c('f'), IntegralKind::Iint, true}),
       "Integral(Iint, lower=Char('0'), upper=Char('1'), body=Char('f'), nolimits)"},
      {Expr(Binomial{c('n'), c('k'), BinomialKind::Pile}), "Binomial(0, Char('n'), Char('k'))"},
      {Expr(Brace{c('a'), c('n'), BraceKind::Under}), "Brace(1, Char('a'), label=Char('n'))"},
      {Expr(Stackrel{c('a'), c('=')}), "Stackrel(Char('a'), Char('='))"},
      {Expr(Underset{c('a'), c('=')}), "Underset(Char('a'), Char('='))"},
      {Expr(XArrow{c('f'), nullptr, XArrowKind::Right}), "XArrow(1, Char('f'))"},
      {Expr(Substack{two_rows}), "Substack[[Char('a'), Char('b')], [Char('c')]]"},
      {Expr(Subarray{"cc", one_row('a', 'b')}), "Subarray(\"cc\")[[Char('a'), Char('b')]]"},
      {Expr(Matrix{one_row('a', 'b'), MatrixKind::Parens}), "Matrix(2)[[Char('a'), Char('b')]]"},
      {Expr(Environment{Rows{}, EnvironmentTrivia{}, EnvironmentKind::Reserved}), "Environment(5)[]"},
      {Expr(Delimited{c('a'), U'(', U']'}), "Delimited('(', ']', Char('a'))"},
      {Expr(OneSidedDelimited{c('a'), U'{', DelimiterSide::Left}), "OneSided('{', 0, Char('a'))"},
      {Expr(Script{box(make_sequence({})), c('i'), nullptr}), "Script(Seq[], sub=Char('i'))"},
  };
  ASSERT_EQ(std::size(cases), std::variant_size_v<Node>);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].expr.node.index(), i) << "cases are listed in variant order";
    EXPECT_EQ(dump(cases[i].expr), cases[i].dump);
  }
}

// Each kind code is shown as the number the writer reads for it; listing the
// names in their documented order pins every enumerator to its value.
TEST(DumpTest, KindCodesShowTheirValues) {
  std::vector<std::pair<Expr, std::string>> cases;
  // The dump starts with the head, the code and the character after it.
  auto add = [&](Expr e, std::size_t code, const std::string& head, char after = ',') {
    cases.emplace_back(std::move(e), head + std::to_string(code) + after);
  };
  std::size_t i = 0;
  for (ArrowDirection k : {ArrowDirection::Left, ArrowDirection::Right, ArrowDirection::Both})
    add(ArrowAccent{c('a'), k, false}, i++, "ArrowAccent(");
  i = 0;
  for (BinomialKind k : {BinomialKind::Pile, BinomialKind::Choose, BinomialKind::Binom})
    add(Binomial{c('n'), c('k'), k}, i++, "Binomial(");
  i = 0;
  for (BraceKind k : {BraceKind::Over, BraceKind::Under}) add(Brace{c('a'), nullptr, k}, i++, "Brace(");
  i = 0;
  for (XArrowKind k :
       {XArrowKind::Left, XArrowKind::Right, XArrowKind::DoubleLeft, XArrowKind::DoubleRight,
        XArrowKind::HookLeft, XArrowKind::HookRight, XArrowKind::TwoHeadLeft, XArrowKind::TwoHeadRight,
        XArrowKind::MapsTo, XArrowKind::LongEqual, XArrowKind::ToFrom})
    add(XArrow{c('f'), nullptr, k}, i++, "XArrow(");
  i = 0;
  for (MatrixKind k : {MatrixKind::Plain, MatrixKind::Small, MatrixKind::Parens, MatrixKind::Brackets,
                       MatrixKind::Braces, MatrixKind::Bars, MatrixKind::DoubleBars})
    add(Matrix{Rows{}, k}, i++, "Matrix(", ')');
  i = 0;
  for (EnvironmentKind k :
       {EnvironmentKind::Array, EnvironmentKind::Align, EnvironmentKind::Split, EnvironmentKind::Aligned,
        EnvironmentKind::Alignat, EnvironmentKind::Reserved, EnvironmentKind::Cases, EnvironmentKind::Rcases,
        EnvironmentKind::Gather, EnvironmentKind::Gathered})
    add(Environment{Rows{}, EnvironmentTrivia{}, k}, i++, "Environment(", ')');
  i = 0;
  for (DelimiterSide k : {DelimiterSide::Left, DelimiterSide::Right})
    add(OneSidedDelimited{c('a'), U'|', k}, i++, "OneSided('|', ");
  ASSERT_EQ(cases.size(), 3u + 3u + 2u + 11u + 7u + 10u + 2u);
  for (const auto& [expr, prefix] : cases) {
    const std::string out = dump(expr);
    EXPECT_EQ(out.substr(0, prefix.size()), prefix) << out;
  }
}

TEST(DumpTest, DeepTreeIsRenderedWithoutRecursion) {
  Expr e = make_char(U'x');
  const int depth = 100000;
  for (int i = 0; i < depth; ++i) e = Expr(Not{box(std::move(e))});
  const std::string out = dump(e);
  EXPECT_EQ(out.size(), depth * std::string("Not()").size() + std::string("Char('x')").size());
  EXPECT_EQ(out.substr(0, 8), "Not(Not(");
  EXPECT_EQ(out.substr(depth * 4, 10), "Char('x'))");
  EXPECT_EQ(out.find_first_not_of(')', depth * 4 + 9), std::string::npos);
}

}  // namespace
}  // namespace quorvix::ast
