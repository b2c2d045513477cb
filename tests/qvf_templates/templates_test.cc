// Template writers on hand-built trees: fractions, roots, stacked forms,
// extensible arrows, braces, strike-outs and piles, with the size and colour
// records around their slots and the writer marks they read and clear.
// Expected bytes are spelled out record by record.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "qvf_scripts/script_test_util.h"

namespace quorvix::qvf {
namespace {

using namespace test;
using ast::Expr;

const std::string kA = letter('a'), kB = letter('b'), kF = letter('f'), kK = letter('k'), kN = letter('n'),
                  kX = letter('x');
const std::string kOne = digit('1'), kThree = digit('3');
const std::string kEquals = "02 04 86 3D 00 3D";
const std::string kParens = "02 00 96 28 00 02 00 96 29 00";  // the two expanding parentheses

using Case = WriteCase;
void run(const Case& c) { run_write_case(c); }

Expr fraction(Expr num, Expr den) {
  return Expr(ast::Fraction{ast::box(std::move(num)), ast::box(std::move(den))});
}
Expr text_style(Expr body) { return style(ast::StyleKind::Text, std::move(body)); }
Expr sub_one(Expr base) { return script(std::move(base), ch(U'1'), none()); }
// x_1 as a slot line at full size: it ends at subscript size, without black.
std::string line_of_sub_one(const std::string& base) {
  return "01 00 0F 01 " + base + " 0F 00 03 00 1B 00 00 0B " + line_of(kOne) + " 01 01 00 00";
}
// The same line at subscript size, where the script goes to sub-subscript size.
std::string small_line_of_sub_one(const std::string& base) {
  return "01 00 0F 01 " + base + " 0F 00 03 00 1B 00 00 0C " + line_of(kOne) + " 01 01 00 00";
}
// A \mathop without limits is written as its body alone.
Expr math_op_of(Expr body) { return math_op(std::move(body), none(), none()); }

const auto tree_style = [](QvfWriter& w) { w.tree_start.style_at_tree_start = true; };

TEST(TemplateWriter, Fractions) {
  const Case cases[] = {
      {"COLOR 0 before each slot", fraction(ch(U'a'), ch(U'b')), SizeLevel::Full,
       "03 00 0B 00 00 0F 00 " + line_of(kA) + " 0F 00 " + line_of(kB) + " 00", true, SizeLevel::Full},
      {"slots keep the fraction's size", fraction(ch(U'a'), ch(U'b')), SizeLevel::Subscript,
       "03 00 0B 00 00 0F 00 " + line_of(kA) + " 0F 00 " + line_of(kB) + " 00", true, SizeLevel::Subscript},
      {"numerator left at another size: restored, its colour flag kept",
       fraction(sub_one(ch(U'a')), ch(U'b')), SizeLevel::Full,
       "03 00 0B 00 00 0F 00 " + line_of_sub_one(kA) + " 0A " + line_of(kB) + " 00", true, SizeLevel::Full},
      {"the result is the denominator's", fraction(ch(U'a'), sub_one(ch(U'b'))), SizeLevel::Full,
       "03 00 0B 00 00 0F 00 " + line_of(kA) + " 0F 00 " + line_of_sub_one(kB) + " 00", false,
       SizeLevel::Subscript},
      {"text style: black first, slots one size smaller, FULL after",
       text_style(fraction(ch(U'a'), ch(U'b'))), SizeLevel::Full,
       "0F 01 03 00 0B 01 00 0B 0F 00 " + line_of(kA) + " 0F 00 " + line_of(kB) + " 00 0A", true,
       SizeLevel::Full},
      {"text style at the tree start: no FULL, the size counts as restored",
       text_style(fraction(ch(U'a'), ch(U'b'))), SizeLevel::Full,
       "0F 01 03 00 0B 01 00 0B 0F 00 " + line_of(kA) + " 0F 00 " + line_of(kB) + " 00", true,
       SizeLevel::Full, tree_style,
       [](const QvfWriter& w) { EXPECT_FALSE(w.tree_start.style_at_tree_start); }},
      {"text style at script size ends at sub-subscript size", text_style(fraction(ch(U'a'), ch(U'b'))),
       SizeLevel::Subscript, "0F 01 03 00 0B 01 00 0C 0F 00 " + line_of(kA) + " 0F 00 " + line_of(kB) + " 00",
       true, SizeLevel::SubSubscript},
      {"text style with a numerator left at another size", text_style(fraction(sub_one(ch(U'a')), ch(U'b'))),
       SizeLevel::Full,
       "0F 01 03 00 0B 01 00 0B 0F 00 " + small_line_of_sub_one(kA) + " 0B " + line_of(kB) + " 00 0A", true,
       SizeLevel::Full},
  };
  for (const Case& c : cases) run(c);
}

TEST(TemplateWriter, Roots) {
  const auto root = [](Expr index, Expr radicand) {
    return Expr(ast::Root{ast::box(std::move(index)), ast::box(std::move(radicand))});
  };
  const auto sqrt = [](Expr radicand) { return Expr(ast::Sqrt{ast::box(std::move(radicand))}); };
  const Case cases[] = {
      {"square root: x leaves black, so no COLOR 1 before the index slot", sqrt(ch(U'x')), SizeLevel::Full,
       "03 00 0A 00 00 0F 00 " + line_of(kX) + " 0B 01 01 00", true, SizeLevel::Subscript},
      {"empty radicand: subscript size and black for the index slot", sqrt(seq({})), SizeLevel::Full,
       "03 00 0A 00 00 0F 00 01 00 00 0B 0F 01 01 01 00", true, SizeLevel::Subscript},
      {"radicand already at subscript size: no size record", sqrt(ch(U'x')), SizeLevel::Subscript,
       "03 00 0A 00 00 0F 00 " + line_of(kX) + " 01 01 00", true, SizeLevel::Subscript},
      {"radicand ending in \\mathop: subscript size selected anyway",
       sqrt(seq({ch(U'a'), math_op_of(ch(U'x'))})), SizeLevel::Subscript,
       "03 00 0A 00 00 0F 00 01 00 0F 01 " + kA + " 0F 00 " + kX + " 00 0B 01 01 00", true,
       SizeLevel::Subscript},
      {"radicand a fraction whose denominator ends in \\mathop",
       sqrt(fraction(ch(U'a'), math_op_of(ch(U'x')))), SizeLevel::Subscript,
       "03 00 0A 00 00 0F 00 01 00 0F 01 03 00 0B 00 00 0F 00 " + line_of(kA) + " 0F 00 " + line_of(kX) +
           " 00 00 0B 01 01 00",
       true, SizeLevel::Subscript},
      {"a fraction ending otherwise needs no record", sqrt(fraction(math_op_of(ch(U'x')), ch(U'a'))),
       SizeLevel::Subscript,
       "03 00 0A 00 00 0F 00 01 00 0F 01 03 00 0B 00 00 0F 00 " + line_of(kX) + " 0F 00 " + line_of(kA) +
           " 00 00 01 01 00",
       true, SizeLevel::Subscript},
      {"root with index: the index one size smaller", root(ch(U'3'), ch(U'x')), SizeLevel::Full,
       "03 00 0A 01 00 0F 00 " + line_of(kX) + " 0B 0F 00 " + line_of(kThree) + " 00", true,
       SizeLevel::Subscript},
      {"root at sub-subscript size: no size record", root(ch(U'3'), ch(U'x')), SizeLevel::SubSubscript,
       "03 00 0A 01 00 0F 00 " + line_of(kX) + " 0F 00 " + line_of(kThree) + " 00", true,
       SizeLevel::SubSubscript},
  };
  for (const Case& c : cases) run(c);
}

TEST(TemplateWriter, StackedForms) {
  const auto stackrel = [](Expr over, Expr base) {
    return Expr(ast::Stackrel{ast::box(std::move(over)), ast::box(std::move(base))});
  };
  const auto underset = [](Expr under, Expr base) {
    return Expr(ast::Underset{ast::box(std::move(under)), ast::box(std::move(base))});
  };
  const Case cases[] = {
      {"stackrel: COLOR 0, base, null lower slot, upper slot", stackrel(ch(U'a'), ch(U'=')), SizeLevel::Full,
       "0F 00 03 00 17 20 00 " + line_of(kEquals) + " 0B 0F 00 01 01 " + line_of(kA) + " 00", true,
       SizeLevel::Subscript},
      {"stackrel that starts the line: no COLOR 0, mark cleared", stackrel(ch(U'a'), ch(U'=')),
       SizeLevel::Full, "03 00 17 20 00 " + line_of(kEquals) + " 0B 0F 00 01 01 " + line_of(kA) + " 00", true,
       SizeLevel::Subscript, [](QvfWriter& w) { w.marks.stackrel_in_line = true; },
       [](const QvfWriter& w) { EXPECT_FALSE(w.marks.stackrel_in_line); }},
      {"stackrel at sub-subscript size", stackrel(ch(U'a'), ch(U'=')), SizeLevel::SubSubscript,
       "0F 00 03 00 17 20 00 " + line_of(kEquals) + " 0F 00 01 01 " + line_of(kA) + " 00", true,
       SizeLevel::SubSubscript},
      {"underset: base, lower slot, null upper slot", underset(ch(U'a'), ch(U'x')), SizeLevel::Full,
       "03 00 17 10 00 " + line_of(kX) + " 0B 0F 00 " + line_of(kA) + " 0F 00 01 01 00", false,
       SizeLevel::Subscript},
      {"underset whose lower slot ends smaller", underset(sub_one(ch(U'a')), ch(U'x')), SizeLevel::Full,
       "03 00 17 10 00 " + line_of(kX) + " 0B 0F 00 " + small_line_of_sub_one(kA) + " 0B 0F 00 01 01 00",
       false, SizeLevel::Subscript},
      {"underset over raw TeX: COLOR 0 first", underset(ch(U'a'), raw("\\o")), SizeLevel::Full,
       "0F 00 03 00 17 10 00 01 00 02 80 81 5C 00 02 80 81 6F 00 00 0B 0F 00 " + line_of(kA) +
           " 0F 00 01 01 00",
       false, SizeLevel::Subscript},
  };
  for (const Case& c : cases) run(c);
}

Expr xarrow(ast::XArrowKind kind, Expr over, std::optional<Expr> under) {
  ast::XArrow a;
  a.over = ast::box(std::move(over));
  a.under = opt_box(std::move(under));
  a.kind = kind;
  return Expr(std::move(a));
}

TEST(TemplateWriter, ExtensibleArrows) {
  const auto after_item = [](QvfWriter& w) { w.item.after_item = true; };
  using K = ast::XArrowKind;
  const Case cases[] = {
      {"first in its sequence: COLOR 1, null lower slot, FULL, glyph", xarrow(K::Right, ch(U'f'), none()),
       SizeLevel::Full, "0F 01 03 00 0E 24 00 0B 0F 00 " + line_of(kF) + " 01 01 0A 02 00 96 92 21 00", true,
       SizeLevel::Full},
      {"after an item, with a lower label", xarrow(K::Left, ch(U'a'), ch(U'b')), SizeLevel::Full,
       "03 00 0E 1C 00 0B 0F 00 " + line_of(kA) + " 0F 00 " + line_of(kB) + " 0A 02 00 96 90 21 00", true,
       SizeLevel::Full, after_item},
      {"at sub-subscript size the labels keep the size", xarrow(K::MapsTo, ch(U'a'), none()),
       SizeLevel::SubSubscript, "0F 01 03 00 0E 24 00 0C 0F 00 " + line_of(kA) + " 01 01 02 00 96 A6 21 00",
       true, SizeLevel::SubSubscript},
      {"a label left at another size is restored", xarrow(K::DoubleLeft, sub_one(ch(U'a')), none()),
       SizeLevel::Full,
       "0F 01 03 00 0E 14 00 0B 0F 00 " + small_line_of_sub_one(kA) + " 0B 01 01 0A 02 00 96 D2 21 00", true,
       SizeLevel::Full},
      {"the last kind: \\xtofrom", xarrow(K::ToFrom, ch(U'a'), none()), SizeLevel::Subscript,
       "03 00 0E 24 00 0C 0F 00 " + line_of(kA) + " 01 01 0B 02 00 96 C4 21 00", true, SizeLevel::Subscript,
       after_item},
  };
  for (const Case& c : cases) run(c);
}

Expr brace(ast::BraceKind kind, Expr body, std::optional<Expr> label) {
  ast::Brace b;
  b.body = ast::box(std::move(body));
  b.label = opt_box(std::move(label));
  b.kind = kind;
  return Expr(std::move(b));
}

TEST(TemplateWriter, Braces) {
  using K = ast::BraceKind;
  const std::string no_label = " 0F 00 01 00 00 0A 0F 01 02 00 96 37 FE 00";
  const Case cases[] = {
      {"over brace without label: empty line, FULL, COLOR 1, glyph FE37", brace(K::Over, ch(U'x'), none()),
       SizeLevel::Full, "03 00 18 01 00 0F 00 " + line_of(kX) + " 0B" + no_label, true, SizeLevel::Full},
      {"under brace with label: no COLOR 1 before glyph FE38", brace(K::Under, ch(U'x'), ch(U'n')),
       SizeLevel::Full,
       "03 00 18 00 00 0F 00 " + line_of(kX) + " 0B 0F 00 " + line_of(kN) + " 0A 02 00 96 38 FE 00", true,
       SizeLevel::Full},
      {"at sub-subscript size no size records", brace(K::Over, ch(U'x'), none()), SizeLevel::SubSubscript,
       "03 00 18 01 00 0F 00 " + line_of(kX) + " 0F 00 01 00 00 0F 01 02 00 96 37 FE 00", true,
       SizeLevel::SubSubscript},
      {"a label makes the script size record even when the body ends there",
       brace(K::Under, ch(U'x'), ch(U'n')), SizeLevel::SubSubscript,
       "03 00 18 00 00 0F 00 " + line_of(kX) + " 0C 0F 00 " + line_of(kN) + " 02 00 96 38 FE 00", true,
       SizeLevel::SubSubscript},
      {"a bare sum under a brace becomes its sign",
       brace(K::Over, big_op(ast::BigOperatorKind::Sum, none(), none(), none()), none()), SizeLevel::Full,
       "03 00 18 01 00 0F 00 01 00 0D 0F 01 02 04 86 11 22 E5 00 0B" + no_label, true, SizeLevel::Full},
      {"a bare coproduct in a one-item group becomes an enlarged symbol",
       brace(K::Over, seq({big_op(ast::BigOperatorKind::Coprod, none(), none(), none())}), none()),
       SizeLevel::Full, "03 00 18 01 00 0F 00 01 00 0D 0F 01 02 04 8B 10 22 43 00 0B" + no_label, true,
       SizeLevel::Full},
      {"a bare integral becomes the integral sign",
       brace(K::Over, integral(ast::IntegralKind::Int, none(), none(), none()), none()), SizeLevel::Full,
       "03 00 18 01 00 0F 00 01 00 0D 0F 01 02 04 86 2B 22 F2 00 0B" + no_label, true, SizeLevel::Full},
  };
  for (const Case& c : cases) run(c);
}

TEST(TemplateWriter, StrikeOuts) {
  const std::pair<ast::StrikeKind, const char*> kinds[] = {
      {ast::StrikeKind::Sout, "01"},
      {ast::StrikeKind::Cancel, "02"},
      {ast::StrikeKind::Bcancel, "04"},
      {ast::StrikeKind::Xcancel, "06"},
  };
  for (const auto& [kind, variation] : kinds) {
    run({"strike", Expr(ast::Strike{ast::box(ch(U'x')), kind}), SizeLevel::Full,
         std::string("03 00 24 ") + variation + " 00 0F 00 " + line_of(kX) + " 00", true, SizeLevel::Full});
  }
  // The result is the body line's.
  run({"strike over x_1", Expr(ast::Strike{ast::box(sub_one(ch(U'x'))), ast::StrikeKind::Cancel}),
       SizeLevel::Full, "03 00 24 02 00 0F 00 " + line_of_sub_one(kX) + " 00", false, SizeLevel::Subscript});
}

Expr binomial(ast::BinomialKind kind, Expr upper, Expr lower) {
  return Expr(ast::Binomial{ast::box(std::move(upper)), ast::box(std::move(lower)), kind});
}

TEST(TemplateWriter, Piles) {
  using K = ast::BinomialKind;
  const std::string rows = line_of(kN) + " 0F 00 " + line_of(kK) + " 00";
  const Case cases[] = {
      {"binomial: fence, black, PILE, default-colour rows, COLOR 0 before the glyphs",
       binomial(K::Binom, ch(U'n'), ch(U'k')), SizeLevel::Full,
       "03 00 01 03 00 0F 01 04 00 02 01 0F 00 " + rows + " 0F 00 " + kParens + " 00", false,
       SizeLevel::Full},
      {"parenthesized pile: COLOR 1 before the fence", binomial(K::Choose, ch(U'n'), ch(U'k')),
       SizeLevel::Full, "0F 01 03 00 01 03 00 0F 00 04 00 02 01 " + rows + " " + kParens + " 00", true,
       SizeLevel::Full},
      {"parenthesized pile whose colour the sequence chose", binomial(K::Choose, ch(U'n'), ch(U'k')),
       SizeLevel::Full, "03 00 01 03 00 0F 00 04 00 02 01 " + rows + " " + kParens + " 00", true,
       SizeLevel::Full, [](QvfWriter& w) { w.marks.binomial_colour_written = true; },
       [](const QvfWriter& w) { EXPECT_FALSE(w.marks.binomial_colour_written); }},
      {"rows left at another size are restored", binomial(K::Choose, sub_one(ch(U'n')), sub_one(ch(U'k'))),
       SizeLevel::Full,
       "0F 01 03 00 01 03 00 0F 00 04 00 02 01 " + line_of_sub_one(kN) + " 0A 0F 00 " + line_of_sub_one(kK) +
           " 0A 00 " + kParens + " 00",
       true, SizeLevel::Full},
      {"bare pile: COLOR 0 and the PILE alone", binomial(K::Pile, ch(U'n'), ch(U'k')), SizeLevel::Full,
       "0F 00 04 00 02 01 " + rows, false, SizeLevel::Full},
      {"text-style binomial: one size smaller, FULL after",
       text_style(binomial(K::Binom, ch(U'n'), ch(U'k'))), SizeLevel::Full,
       "0B 03 00 01 03 00 0F 01 04 00 02 01 0F 00 " + rows + " 0F 00 " + kParens + " 00 0A", false,
       SizeLevel::Full},
      {"text-style binomial at the tree start: no FULL", text_style(binomial(K::Binom, ch(U'n'), ch(U'k'))),
       SizeLevel::Full, "0B 03 00 01 03 00 0F 01 04 00 02 01 0F 00 " + rows + " 0F 00 " + kParens + " 00",
       false, SizeLevel::Full, tree_style},
      {"text-style binomial at script size is the binomial",
       text_style(binomial(K::Binom, ch(U'n'), ch(U'k'))), SizeLevel::Subscript,
       "03 00 01 03 00 0F 01 04 00 02 01 0F 00 " + rows + " 0F 00 " + kParens + " 00", false,
       SizeLevel::Subscript},
      {"text-style parenthesized pile", text_style(binomial(K::Choose, ch(U'n'), ch(U'k'))), SizeLevel::Full,
       "0B 0F 01 03 00 01 03 00 0F 00 04 00 02 01 " + rows + " " + kParens + " 00 0A", true, SizeLevel::Full},
  };
  for (const Case& c : cases) run(c);
}

// The tree-start mark is for the first pile only, and only the bare and the
// parenthesized piles use it.
TEST(TemplateWriter, PileAtTheTreeStartDefinesBlackOnly) {
  QvfWriter w;  // nothing defined yet
  w.tree_start.tree_starts_with_binomial = true;
  Written r = write(binomial(ast::BinomialKind::Pile, ch(U'n'), ch(U'k')), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(hex(r.bytes),
            hex(hx(kBlackDef + " 04 00 02 01 " + line_of(kN) + " 0F 00 " + line_of(kK) + " 00")));
  EXPECT_FALSE(w.tree_start.tree_starts_with_binomial);
  Written again = write(binomial(ast::BinomialKind::Pile, ch(U'n'), ch(U'k')), SizeLevel::Full, w);
  EXPECT_EQ(hex(again.bytes), hex(hx("0F 00 04 00 02 01 " + line_of(kN) + " 0F 00 " + line_of(kK) + " 00")));

  // The parenthesized pile writes the black definition however it starts.
  QvfWriter fresh;
  fresh.marks.binomial_colour_written = true;
  Written fenced = write(binomial(ast::BinomialKind::Choose, ch(U'n'), ch(U'k')), SizeLevel::Full, fresh);
  EXPECT_EQ(hex(fenced.bytes), hex(hx(kBlackDef + " 03 00 01 03 00 0F 00 04 00 02 01 " + line_of(kN) +
                                      " 0F 00 " + line_of(kK) + " 00 " + kParens + " 00")));
}

// A failure inside a slot is returned unchanged by every template.
TEST(TemplateWriter, SlotFailuresAreReturned) {
  const Expr bad = ch(U'\U0001D400');
  const std::string message = "character is outside BMP and not yet supported: \U0001D400";
  const Expr trees[] = {
      fraction(ch(U'a'), bad),
      text_style(fraction(bad, ch(U'b'))),
      Expr(ast::Sqrt{ast::box(Expr(bad))}),
      Expr(ast::Root{ast::box(Expr(bad)), ast::box(ch(U'x'))}),
      Expr(ast::Stackrel{ast::box(Expr(bad)), ast::box(ch(U'x'))}),
      Expr(ast::Underset{ast::box(Expr(bad)), ast::box(ch(U'x'))}),
      xarrow(ast::XArrowKind::Right, ch(U'a'), bad),
      brace(ast::BraceKind::Under, ch(U'x'), bad),
      Expr(ast::Strike{ast::box(Expr(bad)), ast::StrikeKind::Sout}),
      binomial(ast::BinomialKind::Binom, ch(U'n'), bad),
      binomial(ast::BinomialKind::Choose, bad, ch(U'k')),
  };
  for (const Expr& tree : trees) {
    QvfWriter w = black_in_stream();
    Written r = write(tree, SizeLevel::Full, w);
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.error, message);
  }
}

}  // namespace
}  // namespace quorvix::qvf
