// Raw-TeX builders, the final merge pass and the group-brace test, on trees
// built by hand.
#include <gtest/gtest.h>

#include "ast/dump.h"
#include "parser/definition_fallback.h"
#include "parser/group_braces.h"
#include "parser/helpers.h"

namespace quorvix::parser {
namespace {

using namespace quorvix::ast;

Expr seq(ExprList items) { return make_sequence(std::move(items)); }
Expr raw(const char* t) { return make_raw(t); }
Expr ch(char32_t c) { return make_char(c); }
Expr hybrid(std::vector<HybridPart> parts) { return Expr(Hybrid{std::move(parts)}); }
HybridPart hraw(const char* t) { return HybridRaw{t}; }
HybridPart hvis(Expr e) { return HybridVisible{box(std::move(e))}; }

TEST(WithLeadingRawSpaceTest, FirstRawTextAlongTheFirstPosition) {
  struct Case {
    Expr expr;
    const char* dump;
  };
  Case cases[] = {
      {raw("\\x"), "Raw(\" \\\\x\")"},
      {seq({seq({raw("a"), raw("b")}), raw("c")}), "Seq[Seq[Raw(\" a\"), Raw(\"b\")], Raw(\"c\")]"},
      {Expr(Font{box(raw("r")), FontKind::Bold}), "Font(Bold, Raw(\" r\"))"},
      {Expr(Color{"red", box(seq({raw("r")}))}), "Color(\"red\", Seq[Raw(\" r\")])"},
      {hybrid({hraw("h"), hvis(ch('a'))}), "Hybrid[Raw(\" h\"), Visible(Char('a'))]"},
      // No raw text in first position: the whitespace is dropped.
      {hybrid({hvis(ch('a')), hraw("h")}), "Hybrid[Visible(Char('a')), Raw(\"h\")]"},
      {seq({ch('a'), raw("r")}), "Seq[Char('a'), Raw(\"r\")]"},
      {Expr(Script{box(raw("r")), box(ch('i')), nullptr}), "Script(Raw(\"r\"), sub=Char('i'))"},
      {seq({}), "Seq[]"},
  };
  for (auto& c : cases) EXPECT_EQ(dump(with_leading_raw_space(std::move(c.expr), " ")), c.dump);
  EXPECT_EQ(dump(with_leading_raw_space(raw("x"), "")), "Raw(\"x\")");
}

TEST(MergeAdjacentRawTexTest, JoinsRunsInEverySequence) {
  Expr tree = seq({raw("a"), raw("b"), ch('x'), raw("c"),
                   Expr(Fraction{box(seq({raw("1"), raw("2"), raw("3")})), box(seq({raw("4")}))}), raw("d"),
                   raw("e")});
  EXPECT_EQ(dump(merge_adjacent_raw_tex(std::move(tree))),
            "Seq[Raw(\"ab\"), Char('x'), Raw(\"c\"), Frac(Seq[Raw(\"123\")], Seq[Raw(\"4\")]), Raw(\"de\")]");

  // Hybrid parts stay apart; sequences inside their visible parts merge.
  Expr h = hybrid({hraw("a"), hraw("b"), hvis(seq({raw("c"), raw("d")}))});
  EXPECT_EQ(dump(merge_adjacent_raw_tex(std::move(h))),
            "Hybrid[Raw(\"a\"), Raw(\"b\"), Visible(Seq[Raw(\"cd\")])]");

  // Raw leaves in different sequences are not joined.
  EXPECT_EQ(dump(merge_adjacent_raw_tex(seq({seq({raw("a")}), raw("b")}))),
            "Seq[Seq[Raw(\"a\")], Raw(\"b\")]");
}

TEST(MergeAdjacentRawTexTest, DeepTreesDoNotRecurse) {
  Expr e = seq({raw("a"), raw("b")});
  for (int i = 0; i < 200000; ++i) {
    ExprList items;  // moved in: an initializer list would copy the subtree
    items.push_back(raw("x"));
    items.push_back(std::move(e));
    items.push_back(raw("y"));
    items.push_back(raw("z"));
    e = Expr(Group{box(seq(std::move(items)))});
  }
  e = merge_adjacent_raw_tex(std::move(e));
  const Expr* cur = &e;
  int levels = 0;
  while (const auto* g = cur->get_if<Group>()) {
    const auto& items = g->body->as<Sequence>().items;
    ASSERT_EQ(items.size(), 3u);
    ASSERT_EQ(items[2].as<RawTex>().text, "yz");
    cur = &items[1];
    ++levels;
  }
  EXPECT_EQ(levels, 200000);
  EXPECT_EQ(dump(*cur), "Seq[Raw(\"ab\")]");
}

TEST(HybridBuildersTest, SequenceBecomesRawAndVisibleParts) {
  std::vector<HybridPart> parts;
  append_hybrid_raw(parts, "\\begin");
  append_expr_as_hybrid(parts, seq({raw("{m}"), ch('a'), ch('b'), raw("&"),
                                    hybrid({hraw("h"), hvis(ch('c'))}), ch('d'), seq({})}));
  append_hybrid_line(parts, seq({}));  // empty lines are skipped
  append_expr_as_hybrid(parts, raw("\\end"));
  EXPECT_EQ(dump(hybrid(std::move(parts))),
            "Hybrid[Raw(\"\\\\begin{m}\"), Visible(Seq[Char('a'), Char('b')]), Raw(\"&\"), Raw(\"h\"), "
            "Visible(Char('c')), Visible(Seq[Char('d'), Seq[]]), Raw(\"\\\\end\")]");
}

TEST(RawPrefixTest, CommandInFrontOfVisibleItems) {
  EXPECT_EQ(dump(raw_prefix_expr("mathtt", seq({ch('a'), ch('b')}))),
            "Seq[Raw(\"\\\\mathtt\"), Char('a'), Char('b')]");
  EXPECT_EQ(dump(raw_prefix_expr("bm", ch('a'))), "Seq[Raw(\"\\\\bm\"), Char('a')]");
  ExprList args;
  args.push_back(ch('['));
  args.push_back(seq({ch('a')}));
  args.push_back(ch(']'));
  EXPECT_EQ(dump(raw_prefix_sequence_with_raw("\\foo\\big", std::move(args))),
            "Seq[Raw(\"\\\\foo\\\\big\"), Char('['), Char('a'), Char(']')]");
}

TEST(GroupBracesTest, KeptOnlyWhenBothEndsAreRaw) {
  struct Case {
    Expr content;
    const char* dump;
  };
  Case cases[] = {
      // An environment kept raw: "\begin" ... [RawTex "\end", name].
      {seq({raw("\\begin"), seq({ch('f')}), ch('x'), seq({raw("\\end"), seq({ch('f')})})}),
       "Seq[Raw(\"{\\\\begin\"), Seq[Char('f')], Char('x'), Seq[Raw(\"\\\\end\"), Seq[Char('f')]], "
       "Raw(\"}\")]"},
      {seq({raw("\\begin"), ch('a'), raw("\\end{a}")}),
       "Seq[Raw(\"{\\\\begin\"), Char('a'), Raw(\"\\\\end{a}}\")]"},
      {seq({seq({raw("\\begin"), ch('a')}), raw("\\end")}),
       "Seq[Seq[Raw(\"{\\\\begin\"), Char('a')], Raw(\"\\\\end}\")]"},
      {hybrid({hraw("\\begin{m}"), hvis(ch('a')), hraw("\\end{m}")}),
       "Hybrid[Raw(\"{\"), Raw(\"\\\\begin{m}\"), Visible(Char('a')), Raw(\"\\\\end{m}\"), Raw(\"}\")]"},
      {Expr(Style{box(seq({raw("\\begin"), raw("\\end")})), StyleKind::Display}),
       "Seq[Raw(\"{\"), Style(Display, Seq[Raw(\"\\\\begin\"), Raw(\"\\\\end\")]), Raw(\"}\")]"},
      // Otherwise the content comes back unchanged.
      {raw("\\begin"), "Raw(\"\\\\begin\")"},  // not reached through a Sequence
      {seq({raw("\\foo"), raw("\\end")}), "Seq[Raw(\"\\\\foo\"), Raw(\"\\\\end\")]"},
      {seq({raw("\\begin{x}"), raw("\\end")}), "Seq[Raw(\"\\\\begin{x}\"), Raw(\"\\\\end\")]"},
      {seq({raw("\\begin"), ch('x')}), "Seq[Raw(\"\\\\begin\"), Char('x')]"},
      {seq({raw("\\begin"), raw("")}), "Seq[Raw(\"\\\\begin\"), Raw(\"\")]"},
      {seq({raw("\\begin"), seq({})}), "Seq[Raw(\"\\\\begin\"), Seq[]]"},
      {seq({hybrid({hvis(ch('a')), hraw("}")})}), "Seq[Hybrid[Visible(Char('a')), Raw(\"}\")]]"},
      {seq({}), "Seq[]"},
  };
  for (auto& c : cases) EXPECT_EQ(dump(preserve_raw_group_braces(std::move(c.content))), c.dump);
}

TEST(DefinitionFallbackTest, BareBigOperatorsBecomeGlyphs) {
  Expr sum = Expr(BigOperator{nullptr, nullptr, nullptr, BigOperatorKind::Sum, false});
  Expr prod_body = Expr(BigOperator{nullptr, nullptr, box(ch('x')), BigOperatorKind::Prod, false});
  Expr cup_limit = Expr(BigOperator{box(ch('i')), nullptr, nullptr, BigOperatorKind::Bigcup, false});
  Expr cap = Expr(BigOperator{nullptr, nullptr, nullptr, BigOperatorKind::Bigcap, false});
  Expr tree = seq({std::move(sum), seq({std::move(prod_body), std::move(cap)}), std::move(cup_limit),
                   Expr(Group{box(Expr(BigOperator{}))})});
  EXPECT_EQ(
      dump(normalize_definition_fallback_expr(std::move(tree))),
      "Seq[Group(BigOperatorSymbol(U+2211)), Seq[BigOpBody(Prod, Char('x')), Group(BigSymbol(U+22C2))], "
      "BigOp(Bigcup, lower=Char('i')), Group(BigOp(Sum))]");
}

}  // namespace
}  // namespace quorvix::parser
