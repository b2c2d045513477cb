// merge_script and the raw script builders on trees built by hand: the base
// kinds and raw shapes that no input reaches yet.
#include <gtest/gtest.h>

#include "ast/dump.h"
#include "parser/commands/scripts.h"
#include "parser/raw_scripts.h"

namespace quorvix::parser {
namespace {

using namespace quorvix::ast;

Expr seq(ExprList items) { return make_sequence(std::move(items)); }
Expr raw(const char* t) { return make_raw(t); }
Expr ch(char32_t c) { return make_char(c); }
Expr brace(BraceKind kind) { return Expr(Brace{box(ch('b')), nullptr, kind}); }

std::string sub_dump(Expr base, Expr script, LimitModifier m = LimitModifier::None) {
  return dump(merge_script(std::move(base), box(std::move(script)), nullptr, m));
}
std::string sup_dump(Expr base, Expr script, LimitModifier m = LimitModifier::None) {
  return dump(merge_script(std::move(base), nullptr, box(std::move(script)), m));
}

TEST(MergeScriptTest, FailureMarkerSwallowsTheScriptedAtom) {
  const std::string marker = R"x(Text("(Tex translation failed)"))x";
  EXPECT_EQ(sub_dump(ch('x'), make_translation_failed()), marker);
  EXPECT_EQ(sup_dump(ch('x'), seq({Expr(Style{box(make_translation_failed()), StyleKind::Text})})), marker);
  EXPECT_EQ(sup_dump(make_translation_failed(), ch('2')), marker);
  EXPECT_EQ(sup_dump(Expr(BigOperator{}), seq({make_translation_failed()})), marker);
  // Two items around the marker are not the marker.
  EXPECT_EQ(sup_dump(ch('x'), seq({make_translation_failed(), ch('a')})),
            R"x(Script(Char('x'), sup=Seq[Text("(Tex translation failed)"), Char('a')]))x");
}

TEST(MergeScriptTest, ModifiersOnLimitSlots) {
  Integral beside;  // nolimits set by default
  EXPECT_EQ(sub_dump(Expr(beside), ch('a'), LimitModifier::Limits), "Integral(Int, lower=Char('a'))");
  EXPECT_EQ(sub_dump(Expr(beside), ch('a')), "Integral(Int, lower=Char('a'), nolimits)");
  Integral under;
  under.nolimits = false;
  under.upper = box(ch('u'));
  EXPECT_EQ(sup_dump(Expr(under), ch('v'), LimitModifier::NoLimits),
            "Integral(Int, upper=Char('v'), nolimits)");
  EXPECT_EQ(sup_dump(Expr(IntegralSign{IntegralKind::Oint}), ch('a'), LimitModifier::NoLimits),
            "Integral(Oint, upper=Char('a'), nolimits)");

  Limit lim{"lim", box(ch('x')), nullptr, false};
  EXPECT_EQ(sup_dump(Expr(lim), ch('y'), LimitModifier::NoLimits),
            R"(Limit("lim", lower=Char('x'), upper=Char('y'), nolimits))");
  lim.nolimits = true;
  EXPECT_EQ(sub_dump(Expr(lim), ch('z'), LimitModifier::Limits), R"(Limit("lim", lower=Char('z')))");

  MathOp op{box(ch('m')), nullptr, nullptr, true, false};
  EXPECT_EQ(sub_dump(Expr(op), ch('a'), LimitModifier::Limits), "MathOp(Char('m'), lower=Char('a'))");
  EXPECT_EQ(sub_dump(Expr(op), ch('a')), "MathOp(Char('m'), lower=Char('a'), nolimits)");

  // A big operator with an operand or with limits beside it replaces its limit.
  BigOperator with_body;
  with_body.lower = box(ch('a'));
  with_body.body = box(ch('x'));
  EXPECT_EQ(sub_dump(Expr(with_body), ch('b')), "BigOp(Sum, lower=Char('b'), body=Char('x'))");
  EXPECT_EQ(sup_dump(Expr(BigOperator{}), ch('n'), LimitModifier::NoLimits),
            "BigOp(Sum, upper=Char('n'), nolimits)");
}

TEST(MergeScriptTest, BraceLabels) {
  EXPECT_EQ(sup_dump(brace(BraceKind::Over), ch('l')), "Brace(0, Char('b'), label=Char('l'))");
  EXPECT_EQ(sub_dump(brace(BraceKind::Under), ch('l')), "Brace(1, Char('b'), label=Char('l'))");
  EXPECT_EQ(sub_dump(brace(BraceKind::Over), ch('l')), "Script(Brace(0, Char('b')), sub=Char('l'))");
  EXPECT_EQ(sup_dump(brace(BraceKind::Under), ch('l')), "Script(Brace(1, Char('b')), sup=Char('l'))");
  Expr labelled = merge_script(brace(BraceKind::Over), nullptr, box(ch('l')), LimitModifier::None);
  EXPECT_EQ(sup_dump(std::move(labelled), ch('m')),
            "Script(Brace(0, Char('b'), label=Char('l')), sup=Char('m'))");
}

TEST(MergeScriptTest, NamesThatTakeLimits) {
  EXPECT_EQ(sub_dump(Expr(FunctionName{"sup"}), ch('n'), LimitModifier::Limits),
            R"(Limit("sup", lower=Char('n')))");
  EXPECT_EQ(sub_dump(Expr(FunctionName{"sup"}), ch('n'), LimitModifier::NoLimits),
            R"(Script(FunctionName("sup"), sub=Char('n')))");
  EXPECT_EQ(sub_dump(Expr(FunctionName{"max"}), ch('n')), R"(Script(FunctionName("max"), sub=Char('n')))");
}

TEST(MergeScriptTest, PostfixPrimes) {
  EXPECT_EQ(dump(append_postfix_prime(Expr(Script{box(ch('x')), box(ch('1')), box(ch('2'))}))),
            R"(Script(Char('x'), sub=Char('1'), sup=Seq[Char('2'), Char('\'')]))");
  EXPECT_EQ(dump(append_postfix_prime(Expr(Script{box(ch('x')), nullptr, box(seq({ch('a')}))}))),
            R"(Script(Char('x'), sup=Seq[Char('a'), Char('\'')]))");
  EXPECT_EQ(dump(append_postfix_prime(seq({}))), R"(Seq[Char('\'')])");
}

TEST(MergeScriptTest, RepeatedLimitSigns) {
  EXPECT_EQ(dump(repeated_bodyless_big_op_script_expr(BigOperatorKind::Coprod, '^', seq({ch('a'), ch('b')}),
                                                      seq({}))),
            R"(Seq[BigSymbol(U+2210), Raw("^"), Char('a'), Char('b'), Raw("^")])");
  EXPECT_EQ(dump(repeated_bodyless_big_op_script_expr(BigOperatorKind::Bigcap, '_', ch('a'), ch('b'))),
            R"(Seq[BigSymbol(U+22C2), Raw("_"), Char('a'), Raw("_"), Char('b')])");
  EXPECT_EQ(dump(empty_base_sub_script(ch('i'))), "Script(Seq[], sub=Char('i'))");
}

TEST(RawScriptsTest, GroupArgumentsRawAtBothEnds) {
  // An argument holding an environment kept raw keeps its braces raw.
  Expr env = seq({raw("\\begin"), ch('z'), raw("\\end{foo}")});
  Expr base = ch('x');
  auto applied = raw_group_script_suffix_expr(base, "_", env);
  ASSERT_TRUE(applied);
  EXPECT_EQ(dump(*applied),
            R"(Seq[Char('x'), Raw("_{"), Raw("\\begin"), Char('z'), Raw("\\end{foo}"), Raw("}")])");

  Expr plain = seq({raw("\\foo")});
  Expr base2 = seq({ch('x'), ch('y')});
  EXPECT_FALSE(raw_group_script_suffix_expr(base2, "_", plain));
  EXPECT_EQ(dump(base2), "Seq[Char('x'), Char('y')]");  // untouched when not applied
  EXPECT_EQ(dump(plain), R"(Seq[Raw("\\foo")])");
}

TEST(RawScriptsTest, FollowupsAfterRawScripts) {
  Expr arg = ch('a');
  Expr not_seq = ch('x');
  EXPECT_FALSE(append_raw_script_followup(not_seq, "_", arg));
  Expr empty = seq({});
  EXPECT_FALSE(append_raw_script_followup(empty, "_", arg));
  Expr raw_last = seq({ch('x'), raw("\\foo")});
  EXPECT_FALSE(append_raw_script_followup(raw_last, "_", arg));
  Expr lone = seq({ch('x')});
  EXPECT_FALSE(append_raw_script_followup(lone, "_", arg));
  Expr limits_caret = seq({raw("\\limits^"), ch('b')});
  EXPECT_FALSE(append_raw_script_followup(limits_caret, "_", arg));

  Expr after_marker = seq({ch('x'), raw("_")});
  Expr group = seq({ch('a'), ch('b')});
  auto joined = append_raw_script_followup(after_marker, "^", group);
  ASSERT_TRUE(joined);
  EXPECT_EQ(dump(*joined), R"(Seq[Char('x'), Raw("_^"), Char('a'), Char('b')])");

  Expr after_limits = seq({raw("\\nolimits_"), ch('b')});
  auto appended = append_raw_script_followup(after_limits, "^", arg);
  ASSERT_TRUE(appended);
  EXPECT_EQ(dump(*appended), R"(Seq[Raw("\\nolimits_"), Char('b'), Raw("^"), Char('a')])");

  EXPECT_EQ(
      dump(raw_limits_script_suffix_expr(seq({ch('x'), ch('y')}), LimitModifier::NoLimits, "^", ch('a'))),
      R"(Seq[Char('x'), Char('y'), Raw("\\nolimits^"), Char('a')])");
  EXPECT_EQ(dump(raw_limits_modifier_expr(ch('x'), LimitModifier::Limits)),
            R"(Seq[Char('x'), Raw("\\limits")])");
  EXPECT_EQ(dump(raw_superscript_suffix_expr(seq({ch('x')}), "''")), R"(Seq[Seq[Char('x')], Raw("^{''}")])");
}

TEST(RawScriptsTest, PrimeGroupTests) {
  EXPECT_TRUE(is_raw_prime_script_group(U"'"));
  EXPECT_TRUE(is_raw_prime_script_group(U" ' '' "));
  EXPECT_FALSE(is_raw_prime_script_group(U""));
  EXPECT_FALSE(is_raw_prime_script_group(U"   "));
  EXPECT_FALSE(is_raw_prime_script_group(U"'a"));
  EXPECT_FALSE(is_raw_prime_script_group(U"'\t"));

  struct Split {
    const char32_t* text;
    const char32_t* before;  // null: no split
    const char32_t* primes;
  };
  const Split cases[] = {
      {U"a^{'}", U"a", U"'"},           {U"a^{b}^{ ''}", U"a^{b}", U" ''"},
      {U"^{'}", nullptr, nullptr},                                     // "^{" at the very start
      {U"a^{'}x", nullptr, nullptr},                                   // not ending in "}"
      {U"a^{'}^{b}", nullptr, nullptr},                                // the last "^{" holds no primes
      {U"a^{b'}", nullptr, nullptr},    {U"a^{ }", nullptr, nullptr},  // no apostrophe
      {U"a{'}", nullptr, nullptr},                                     // no "^{"
      {U"}", nullptr, nullptr},
  };
  for (const Split& c : cases) {
    const auto split = split_prime_superscript_tail(c.text);
    if (c.before == nullptr) {
      EXPECT_FALSE(split) << std::u32string_view(c.text).size();
    } else {
      ASSERT_TRUE(split);
      EXPECT_EQ(split->before, std::u32string_view(c.before));
      EXPECT_EQ(split->primes, std::u32string_view(c.primes));
    }
  }
}

TEST(RawScriptsTest, AttachedScripts) {
  EXPECT_FALSE(expr_has_attached_scripts(Expr(BigOperator{})));
  EXPECT_FALSE(expr_has_attached_scripts(Expr(IntegralSign{})));
  EXPECT_FALSE(expr_has_attached_scripts(Expr(FunctionName{"lim"})));
  EXPECT_TRUE(expr_has_attached_scripts(Expr(Limit{"lim", nullptr, box(ch('a')), false})));
  EXPECT_TRUE(expr_has_attached_scripts(Expr(MathOp{box(ch('m')), box(ch('a')), nullptr, false, false})));
  EXPECT_TRUE(expr_has_attached_scripts(Expr(Script{box(ch('x')), nullptr, box(ch('a'))})));
  BigOperator with_body;
  with_body.body = box(ch('x'));
  EXPECT_FALSE(expr_has_attached_scripts(Expr(std::move(with_body))));
}

}  // namespace
}  // namespace quorvix::parser
