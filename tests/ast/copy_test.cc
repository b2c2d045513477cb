// Copying one node of every kind, each field set to something other than its
// default: the copy must equal the original and share nothing with it.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "ast/dump.h"
#include "ast/expr.h"

namespace quorvix::ast {
namespace {

// A leaf named after the field it fills, so that a field copied into the
// wrong place shows in the dump.
Box leaf(const std::string& field) { return box(make_raw(field)); }

Rows two_by_two(const std::string& owner) {
  Rows rows(2);
  for (std::size_t r = 0; r < 2; ++r)
    for (std::size_t c = 0; c < 2; ++c)
      rows[r].push_back(make_raw(owner + ".rows[" + std::to_string(r) + "][" + std::to_string(c) + "]"));
  return rows;
}

EnvironmentTrivia& trivia_of(Environment& e) { return e.trivia.edit(); }
const EnvironmentTrivia& trivia_of(const Environment& e) { return *e.trivia; }

EnvironmentTrivia full_trivia() {
  EnvironmentTrivia t;
  t.opening_raw = "{cc}";
  t.row_leading_space = {" ", "\t"};
  t.cell_leading_space = {{"", " "}, {"  ", "\n"}};
  t.trailing_space = " ";
  t.row_annotations.push_back({leaf("trivia.row_annotations[0].label"), "\\notag", true, true});
  t.row_annotations.push_back({leaf("trivia.row_annotations[1].label"), "\\nonumber", true, true});
  return t;
}

// One node of each of the 43 kinds, in variant order.
ExprList every_kind() {
  ExprList out;
  auto add = [&out](auto node) { out.emplace_back(std::move(node)); };

  add(Sequence{.items = {make_raw("Sequence.items[0]"), make_char(U'b')}});
  add(DefaultColor{.body = leaf("DefaultColor.body")});
  {
    Hybrid n;
    n.parts.emplace_back(std::in_place_type<HybridRaw>, HybridRaw{"\\begin"});
    n.parts.emplace_back(std::in_place_type<HybridVisible>, HybridVisible{leaf("Hybrid.parts[1]")});
    add(std::move(n));
  }
  add(Char{.ch = U'\u03B1'});
  add(SizedDelimiter{.ch = U'('});
  add(Group{.body = leaf("Group.body")});
  add(CommandSymbol{.name = "prime", .ch = U'\u2032'});
  add(BigSymbol{.ch = U'\u2295'});
  add(BigOperatorSymbol{.ch = U'\u2294'});
  add(Empty{});
  out.push_back(make_raw("\\unknown"));
  add(Space{.width = 8});
  add(FunctionName{.name = "sin"});
  add(TextRun{.text = "text"});
  add(Color{.name = "red", .body = leaf("Color.body")});
  add(Style{.body = leaf("Style.body"), .style = StyleKind::ScriptScript});
  add(Font{.body = leaf("Font.body"), .font = FontKind::MathFrak});
  add(Accent{.body = leaf("Accent.body"), .accent = AccentKind::Check});
  add(ArrowAccent{.body = leaf("ArrowAccent.body"), .direction = ArrowDirection::Both, .under = true});
  add(OverUnderline{.body = leaf("OverUnderline.body"), .under = true});
  add(Strike{.body = leaf("Strike.body"), .strike = StrikeKind::Xcancel});
  add(Not{.body = leaf("Not.body")});
  add(Fraction{.numerator = leaf("Fraction.numerator"), .denominator = leaf("Fraction.denominator")});
  add(Sqrt{.radicand = leaf("Sqrt.radicand")});
  add(Root{.index = leaf("Root.index"), .radicand = leaf("Root.radicand")});
  add(BigOperator{.lower = leaf("BigOperator.lower"),
                  .upper = leaf("BigOperator.upper"),
                  .body = leaf("BigOperator.body"),
                  .op = BigOperatorKind::Bigcap,
                  .nolimits = true});
  add(BigOperatorBody{.body = leaf("BigOperatorBody.body"), .op = BigOperatorKind::Coprod});
  add(Limit{.name = "lim", .lower = leaf("Limit.lower"), .upper = leaf("Limit.upper"), .nolimits = true});
  add(MathOp{.body = leaf("MathOp.body"),
             .lower = leaf("MathOp.lower"),
             .upper = leaf("MathOp.upper"),
             .nolimits = true,
             .unbraced = true});
  add(IntegralSign{.integral = IntegralKind::Oint});
  add(Integral{.lower = leaf("Integral.lower"),
               .upper = leaf("Integral.upper"),
               .body = leaf("Integral.body"),
               .integral = IntegralKind::Iiint,
               .nolimits = false});
  add(Binomial{
      .upper = leaf("Binomial.upper"), .lower = leaf("Binomial.lower"), .kind = BinomialKind::Binom});
  add(Brace{.body = leaf("Brace.body"), .label = leaf("Brace.label"), .kind = BraceKind::Under});
  add(Stackrel{.over = leaf("Stackrel.over"), .base = leaf("Stackrel.base")});
  add(Underset{.under = leaf("Underset.under"), .base = leaf("Underset.base")});
  add(XArrow{.over = leaf("XArrow.over"), .under = leaf("XArrow.under"), .kind = XArrowKind::Right});
  add(Substack{.rows = two_by_two("Substack")});
  add(Subarray{.columns = "lc", .rows = two_by_two("Subarray")});
  add(Matrix{.rows = two_by_two("Matrix"), .kind = MatrixKind::Brackets});
  {
    Environment n;
    n.rows = two_by_two("Environment");
    trivia_of(n) = full_trivia();
    n.kind = EnvironmentKind::Reserved;
    add(std::move(n));
  }
  add(Delimited{.body = leaf("Delimited.body"), .left = U'[', .right = U')'});
  add(OneSidedDelimited{
      .body = leaf("OneSidedDelimited.body"), .delimiter = U'{', .side = DelimiterSide::Right});
  add(Script{.base = leaf("Script.base"), .sub = leaf("Script.sub"), .sup = leaf("Script.sup")});
  return out;
}

// The dump shows every field but the environment trivia, compared here.
void expect_same_trivia(const EnvironmentTrivia& copy, const EnvironmentTrivia& original) {
  EXPECT_EQ(copy.opening_raw, original.opening_raw);
  EXPECT_EQ(copy.row_leading_space, original.row_leading_space);
  EXPECT_EQ(copy.cell_leading_space, original.cell_leading_space);
  EXPECT_EQ(copy.trailing_space, original.trailing_space);
  ASSERT_EQ(copy.row_annotations.size(), original.row_annotations.size());
  for (std::size_t i = 0; i < copy.row_annotations.size(); ++i) {
    const EnvironmentRowAnnotation& a = copy.row_annotations[i];
    const EnvironmentRowAnnotation& b = original.row_annotations[i];
    ASSERT_EQ(static_cast<bool>(a.label), static_cast<bool>(b.label)) << "annotation " << i;
    if (a.label) {
      EXPECT_EQ(dump(*a.label), dump(*b.label)) << "annotation " << i;
    }
    EXPECT_EQ(a.no_number_command, b.no_number_command) << "annotation " << i;
    EXPECT_EQ(a.has_label, b.has_label) << "annotation " << i;
    EXPECT_EQ(a.no_number, b.no_number) << "annotation " << i;
  }
}

void expect_equal(const Expr& copy, const Expr& original) {
  ASSERT_EQ(copy.node.index(), original.node.index());
  EXPECT_EQ(dump(copy), dump(original));
  if (const auto* env = copy.get_if<Environment>()) {
    expect_same_trivia(trivia_of(*env), trivia_of(original.as<Environment>()));
  }
}

// Every child, environment row labels included.
std::vector<const Expr*> children(const Expr& e) {
  std::vector<const Expr*> out;
  for_each_child(e, [&out](const Expr& c) { out.push_back(&c); });
  return out;
}

TEST(CopyTest, EveryKindWithEveryFieldSet) {
  const ExprList originals = every_kind();
  ASSERT_EQ(originals.size(), std::variant_size_v<Node>);
  for (std::size_t i = 0; i < originals.size(); ++i) {
    const Expr& original = originals[i];
    SCOPED_TRACE(dump(original));
    ASSERT_EQ(original.node.index(), i) << "kinds are listed in variant order";

    const Expr constructed(original);
    Expr assigned = make_char(U'z');
    assigned = original;
    const Box boxed_original = box(Expr(original));
    const Box boxed(boxed_original);
    for (const Expr* copy : std::initializer_list<const Expr*>{&constructed, &assigned, boxed.get()}) {
      expect_equal(*copy, original);
      // The copy owns children of its own.
      const std::vector<const Expr*> mine = children(*copy);
      const std::vector<const Expr*> theirs = children(original);
      ASSERT_EQ(mine.size(), theirs.size());
      for (std::size_t k = 0; k < mine.size(); ++k) EXPECT_NE(mine[k], theirs[k]) << "child " << k;
    }
    EXPECT_NE(boxed.get(), boxed_original.get());
  }
}

TEST(CopyTest, ChangingOrDroppingTheOriginalLeavesTheCopy) {
  ExprList originals = every_kind();
  const ExprList copies = originals;
  const ExprList reference = every_kind();
  for (std::size_t i = 0; i < originals.size(); ++i) {
    Expr& original = originals[i];
    for_each_child(original, [](Expr& child) { child = make_raw("changed"); });
    if (!children(original).empty()) {
      EXPECT_NE(dump(original), dump(reference[i]));
    }
    if (auto* env = original.get_if<Environment>()) {
      EnvironmentTrivia& t = trivia_of(*env);
      t.opening_raw.reset();
      t.row_leading_space.clear();
      t.cell_leading_space[0][1] = "changed";
      t.trailing_space = "changed";
      t.row_annotations[1].no_number_command = "changed";
    }
  }
  for (std::size_t i = 0; i < copies.size(); ++i) expect_equal(copies[i], reference[i]);
  originals.clear();
  for (std::size_t i = 0; i < copies.size(); ++i) expect_equal(copies[i], reference[i]);
}

}  // namespace
}  // namespace quorvix::ast
