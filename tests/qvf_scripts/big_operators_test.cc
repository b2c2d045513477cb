// Big operators, integrals, limits and \mathop on hand-built trees, and the
// named glyph table. Expected bytes are spelled out record by record.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "qvf/constructs/scripts.h"
#include "qvf/tables/big_operator_glyphs.h"
#include "qvf_scripts/script_test_util.h"

namespace quorvix::qvf {
namespace {

using namespace test;
using ast::BigOperatorKind;
using ast::Expr;
using ast::IntegralKind;

const std::string kA = letter('a');
const std::string kB = letter('b');
const std::string kF = letter('f');
const std::string kI = letter('i');
const std::string kK = letter('k');
const std::string kN = letter('n');
const std::string kX = letter('x');
const std::string kY = letter('y');
const std::string kZero = digit('0');
const std::string kOne = digit('1');
const std::string kSum = "02 04 86 11 22 E5";
const std::string kIntegral = "02 04 86 2B 22 F2";
const std::string kLim = "02 02 82 6C 00 02 00 82 69 00 02 00 82 6D 00";
const std::string kRawA = "02 80 81 5C 00 02 80 81 61 00";  // raw TeX "\a"
// The glyph line of the sum sign with black already defined.
const std::string kSumLine = "01 00 0F 01 " + kSum + " 00";

using Case = WriteCase;
void run(const Case& c) { run_write_case(c); }

Expr a_sub_k() { return script(ch(U'a'), ch(U'k'), none()); }

TEST(BigOperatorWriter, WithOperand) {
  const Case cases[] = {
      {"both limits: the operand left full size, so SUB and COLOR 0",
       big_op(BigOperatorKind::Sum, ch(U'i'), ch(U'n'), ch(U'a')), SizeLevel::Full,
       "03 00 10 70 00 0F 00 " + line_of(kA) + " 0B 0F 00 " + line_of(kI) + " 0F 00 " + line_of(kN) + " 0D " +
           kSum + " 00",
       true, SizeLevel::Subscript},
      {"lower only after a character operand", big_op(BigOperatorKind::Sum, ch(U'i'), none(), ch(U'a')),
       SizeLevel::Full,
       "03 00 10 50 00 0F 00 " + line_of(kA) + " 0B 0F 00 " + line_of(kI) + " 01 01 0D " + kSum + " 00", true,
       SizeLevel::Subscript},
      {"lower only after a subscripted operand: no size record, no colour",
       big_op(BigOperatorKind::Sum, ch(U'i'), none(), a_sub_k()), SizeLevel::Full,
       "03 00 10 50 00 0F 00 01 00 0F 01 " + kA + " 0F 00 03 00 1B 00 00 0B " + line_of(kK) +
           " 01 01 00 00 " + line_of(kI) + " 01 01 0D " + kSum + " 00",
       true, SizeLevel::Subscript},
      {"both limits after a subscripted operand that ends at the limits' size",
       big_op(BigOperatorKind::Sum, ch(U'i'), ch(U'n'), a_sub_k()), SizeLevel::Full,
       "03 00 10 70 00 0F 00 01 00 0F 01 " + kA + " 0F 00 03 00 1B 00 00 0B " + line_of(kK) +
           " 01 01 00 00 " + line_of(kI) + " 0F 00 " + line_of(kN) + " 0D " + kSum + " 00",
       true, SizeLevel::Subscript},
      {"upper only: null lower slot", big_op(BigOperatorKind::Prod, none(), ch(U'n'), ch(U'a')),
       SizeLevel::Full,
       "03 00 11 70 00 0F 00 " + line_of(kA) + " 0B 0F 00 01 01 " + line_of(kN) + " 0D 02 04 86 0F 22 D5 00",
       true, SizeLevel::Subscript},
      {"no limits: COLOR 1 before the sign", big_op(BigOperatorKind::Coprod, none(), none(), ch(U'a')),
       SizeLevel::Full,
       "03 00 12 50 00 0F 00 " + line_of(kA) + " 0B 0F 00 01 01 01 01 0D 0F 01 02 04 8B 10 22 43 00", true,
       SizeLevel::Subscript},
      {"raw operand: black first, and the lower line leaves black for the sign",
       big_op(BigOperatorKind::Bigcup, ch(U'i'), none(), raw("\\a")), SizeLevel::Full,
       "0F 01 03 00 13 50 00 0F 00 01 00 " + kRawA + " 00 " + line_of(kI) + " 01 01 0D 02 04 86 2A 22 C8 00",
       true, SizeLevel::Subscript},
      {"lower line without black: COLOR 1 before the null upper slot",
       big_op(BigOperatorKind::Bigcap, raw("\\a"), none(), ch(U'a')), SizeLevel::Full,
       "03 00 14 50 00 0F 00 " + line_of(kA) + " 0B 0F 00 01 00 " + kRawA +
           " 00 0F 01 01 01 0D 02 04 86 29 22 C7 00",
       true, SizeLevel::Subscript},
  };
  for (const Case& c : cases) run(c);
}

TEST(BigOperatorWriter, WithoutOperand) {
  const auto bodyless_sum = [](std::string lower_upper) {
    return "03 00 16 70 00 01 01 0B " + lower_upper + " 0D 0F 00 " + kSumLine + " 00";
  };
  const Case cases[] = {
      {"limits under and over a bare sum", big_op(BigOperatorKind::Sum, ch(U'i'), ch(U'n'), none()),
       SizeLevel::Full, bodyless_sum(line_of(kI) + " 0F 00 " + line_of(kN)), true, SizeLevel::Subscript,
       [](QvfWriter& w) { w.line.sequence_skips_colour = true; },
       [](const QvfWriter& w) { EXPECT_FALSE(w.line.sequence_skips_colour); }},
      {"union: the glyph line defines its own font style",
       big_op(BigOperatorKind::Bigcup, ch(U'i'), none(), none()), SizeLevel::Full,
       "03 00 16 50 00 01 01 0B " + line_of(kI) +
           " 01 01 0D 0F 00 01 00 08 04 00 0F 01 02 04 7F 2A 22 55 00 00",
       true, SizeLevel::Subscript},
      {"text style: selector 21, FULL after it", big_op(BigOperatorKind::Sum, ch(U'i'), none(), none(), true),
       SizeLevel::Full, "03 00 15 10 00 01 01 0B " + line_of(kI) + " 01 01 0D 0F 00 " + kSumLine + " 00 0A",
       true, SizeLevel::Full},
      {"text style at the tree start: no FULL", big_op(BigOperatorKind::Sum, ch(U'i'), none(), none(), true),
       SizeLevel::Full, "03 00 15 10 00 01 01 0B " + line_of(kI) + " 01 01 0D 0F 00 " + kSumLine + " 00",
       true, SizeLevel::Full, [](QvfWriter& w) { w.tree_start.style_at_tree_start = true; },
       [](const QvfWriter& w) { EXPECT_FALSE(w.tree_start.style_at_tree_start); }},
      {"text style at script size", big_op(BigOperatorKind::Sum, none(), ch(U'n'), none(), true),
       SizeLevel::Subscript, "03 00 15 30 00 01 01 0C 01 01 " + line_of(kN) + " 0D 0F 00 " + kSumLine + " 00",
       true, SizeLevel::SubSubscript},
      {"text style followed by the operand", big_op(BigOperatorKind::Sum, ch(U'i'), none(), ch(U'a'), true),
       SizeLevel::Full,
       "0F 00 03 00 15 10 00 01 01 0B " + line_of(kI) + " 01 01 0D 0F 00 " + kSumLine + " 00 0A " + kA, true,
       SizeLevel::Full},
      {"applied to a body", Expr(ast::BigOperatorBody{ast::box(ch(U'a')), BigOperatorKind::Sum}),
       SizeLevel::Full, "03 00 10 40 00 0F 00 01 00 0F 01 " + kA + " 00 01 01 01 01 0D " + kSum + " 00", true,
       SizeLevel::Subscript},
      {"applied to raw TeX: black first",
       Expr(ast::BigOperatorBody{ast::box(raw("\\a")), BigOperatorKind::Bigcap}), SizeLevel::Full,
       "0F 01 03 00 14 40 00 0F 00 01 00 0F 01 " + kRawA + " 00 01 01 01 01 0D 02 04 86 29 22 C7 00", true,
       SizeLevel::Subscript},
  };
  for (const Case& c : cases) run(c);
}

TEST(BigOperatorWriter, BareSignDefinesBlackInItsGlyphLine) {
  QvfWriter w;
  Written r = write(big_op(BigOperatorKind::Prod, none(), none(), none()), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes), hex(hx("03 00 16 50 00 01 01 0B 01 01 01 01 0D 0F 00 01 00 " + kBlackDef +
                                 " 0F 01 02 04 86 0F 22 D5 00 00")));
}

TEST(BigOperatorWriter, SubstackLimitIsNotTranslatedOutsideEnvironments) {
  const Expr op =
      big_op(BigOperatorKind::Sum, Expr(ast::Substack{{{ch(U'i')}, {ch(U'j')}}}), none(), ch(U'x'));
  // The failure text: one CHAR per character, text typeface.
  std::string failure;
  for (char c : std::string(ast::kTranslationFailed)) {
    char buf[20];
    std::snprintf(buf, sizeof buf, "02 00 81 %02X 00 ", static_cast<unsigned char>(c));
    failure += buf;
  }
  QvfWriter w = black_in_stream();
  Written r = write(op, SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes), hex(hx(failure)));

  QvfWriter in_env = black_in_stream();
  in_env.substack_environment_mode = true;
  Written normal = write(op, SizeLevel::Full, in_env);
  ASSERT_TRUE(normal.ok);
  EXPECT_EQ(hex(Bytes(normal.bytes.begin(), normal.bytes.begin() + 5)), "03 00 10 50 00");
}

TEST(IntegralWriter, Forms) {
  const Case cases[] = {
      {"triple integral with a lower limit and an operand",
       integral(IntegralKind::Iiint, ch(U'0'), none(), ch(U'f')), SizeLevel::Full,
       "03 00 0F 13 00 0F 00 " + line_of(kF) + " 0B 0F 00 " + line_of(kZero) + " 01 01 0D " + kIntegral +
           " " + kIntegral + " " + kIntegral + " 00",
       true, SizeLevel::Subscript},
      {"contour integral without limits", integral(IntegralKind::Oint, none(), none(), ch(U'f')),
       SizeLevel::Full,
       "03 00 0F 05 00 0F 00 " + line_of(kF) + " 0B 01 01 01 01 0D 02 04 8B 11 EE D1 " + kIntegral + " 00",
       true, SizeLevel::Subscript},
      {"raw operand, no limits: COLOR 1 before the null lower slot",
       integral(IntegralKind::Int, none(), none(), raw("\\a")), SizeLevel::Full,
       "03 00 0F 01 00 0F 00 01 00 " + kRawA + " 00 0B 0F 01 01 01 01 01 0D " + kIntegral + " 00", true,
       SizeLevel::Subscript},
      {"lower line without black: COLOR 1 after it",
       integral(IntegralKind::Iint, raw("\\a"), ch(U'1'), ch(U'f')), SizeLevel::Full,
       "03 00 0F 12 00 0F 00 " + line_of(kF) + " 0B 0F 00 01 00 " + kRawA + " 00 0F 01 " + line_of(kOne) +
           " 0D " + kIntegral + " " + kIntegral + " 00",
       true, SizeLevel::Subscript},
      {"limits under and over (\\limits), no operand",
       integral(IntegralKind::Int, ch(U'0'), ch(U'1'), none(), /*nolimits=*/false), SizeLevel::Full,
       "03 00 16 70 00 01 01 0B " + line_of(kZero) + " 0F 00 " + line_of(kOne) + " 0D 0F 00 01 00 0F 01 " +
           kIntegral + " 00 00",
       true, SizeLevel::Subscript},
      {"limits beside it, no operand: text style without FULL",
       integral(IntegralKind::Int, ch(U'0'), none(), none()), SizeLevel::Full,
       "03 00 15 10 00 01 01 0B " + line_of(kZero) + " 01 01 0D 0F 00 01 00 0F 01 " + kIntegral + " 00 00",
       true, SizeLevel::Full},
      {"limits beside it before raw TeX: FULL after it",
       integral(IntegralKind::Int, ch(U'0'), none(), none()), SizeLevel::Full,
       "03 00 15 10 00 01 01 0B " + line_of(kZero) + " 01 01 0D 0F 00 01 00 0F 01 " + kIntegral + " 00 00 0A",
       true, SizeLevel::Full, [](QvfWriter& w) { w.marks.integral_before_raw = true; },
       [](const QvfWriter& w) { EXPECT_FALSE(w.marks.integral_before_raw); }},
  };
  for (const Case& c : cases) run(c);
}

TEST(IntegralWriter, StandaloneSigns) {
  const std::pair<IntegralKind, std::string> signs[] = {
      {IntegralKind::Int, kIntegral},
      {IntegralKind::Iint, "02 00 8C 2C 22"},
      {IntegralKind::Iiint, "02 04 8B FD FF 6E"},
      {IntegralKind::Oint, "02 00 8C 2E 22"},
  };
  for (const auto& [kind, bytes] : signs) {
    QvfWriter w = black_in_stream();
    Written r = write(Expr(ast::IntegralSign{kind}), SizeLevel::Subscript, w);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(hex(r.bytes), hex(hx(bytes)));
    EXPECT_TRUE(r.outcome.black_in_force);
    EXPECT_EQ(r.outcome.size_after, SizeLevel::Subscript);
  }
}

TEST(LimitWriter, Forms) {
  const std::string lim_line = "01 00 0F 01 " + kLim + " 00";
  const auto cleared = [](const QvfWriter& w) {
    EXPECT_FALSE(w.marks.limit_before_raw);
    EXPECT_FALSE(w.tree_start.limit_op_at_tree_start);
  };
  const Case cases[] = {
      {"lower limit: FULL and black after the template", limit("lim", ch(U'x'), none()), SizeLevel::Full,
       "03 00 17 10 00 " + lim_line + " 0B 0F 00 " + line_of(kX) + " 0F 00 01 01 00 0A 0F 01", true,
       SizeLevel::Full},
      {"both limits", limit("lim", ch(U'x'), ch(U'y')), SizeLevel::Full,
       "03 00 17 10 00 " + lim_line + " 0B 0F 00 " + line_of(kX) + " 0F 00 " + line_of(kY) + " 00 0A 0F 01",
       true, SizeLevel::Full},
      {"at script size", limit("lim", ch(U'x'), none()), SizeLevel::Subscript,
       "03 00 17 10 00 " + lim_line + " 0C 0F 00 " + line_of(kX) + " 0F 00 01 01 00 0B 0F 01", true,
       SizeLevel::Subscript},
      {"before raw TeX: nothing after the template", limit("lim", ch(U'x'), none()), SizeLevel::Full,
       "03 00 17 10 00 " + lim_line + " 0B 0F 00 " + line_of(kX) + " 0F 00 01 01 00", false,
       SizeLevel::Subscript, [](QvfWriter& w) { w.marks.limit_before_raw = true; }, cleared},
      {"the whole tree: nothing after the template", limit("lim", ch(U'x'), none()), SizeLevel::Full,
       "03 00 17 10 00 " + lim_line + " 0B 0F 00 " + line_of(kX) + " 0F 00 01 01 00", false,
       SizeLevel::Subscript, [](QvfWriter& w) { w.tree_start.limit_op_at_tree_start = true; }, cleared},
      {"\\nolimits: a script of the name", limit("lim", ch(U'x'), none(), true), SizeLevel::Full,
       kLim + " 0F 00 03 00 1B 00 00 0B " + line_of(kX) + " 01 01 00", false, SizeLevel::Subscript},
      {"upper limit alone: a superscript of the name", limit("sup", none(), ch(U'x')), SizeLevel::Full,
       "02 02 82 73 00 02 00 82 75 00 02 00 82 70 00 0F 00 03 00 1C 00 00 0B 01 01 " + line_of(kX) + " 00",
       true, SizeLevel::Subscript},
  };
  for (const Case& c : cases) run(c);
}

TEST(MathOpWriter, Forms) {
  const Case cases[] = {
      {"both limits", math_op(ch(U'x'), ch(U'a'), ch(U'b')), SizeLevel::Full,
       "03 00 17 30 00 " + line_of(kX) + " 0B 0F 00 " + line_of(kA) + " 0F 00 " + line_of(kB) +
           " 00 0A 0F 01",
       true, SizeLevel::Full},
      {"lower only", math_op(ch(U'x'), ch(U'a'), none()), SizeLevel::Full,
       "03 00 17 10 00 " + line_of(kX) + " 0B 0F 00 " + line_of(kA) + " 0F 00 01 01 00 0A 0F 01", true,
       SizeLevel::Full},
      {"upper only", math_op(ch(U'x'), none(), ch(U'b')), SizeLevel::Full,
       "03 00 17 20 00 " + line_of(kX) + " 0B 0F 00 01 01 0F 00 " + line_of(kB) + " 00 0A 0F 01", true,
       SizeLevel::Full},
      {"\\nolimits: a script of the body", math_op(ch(U'x'), ch(U'a'), none(), true), SizeLevel::Full,
       kX + " 0F 00 03 00 1B 00 00 0B " + line_of(kA) + " 01 01 00", false, SizeLevel::Subscript},
      {"no limits: the body", math_op(ch(U'x'), none(), none()), SizeLevel::Full, kX, true, SizeLevel::Full},
      {"no limits, unbraced: a roman space first", math_op(ch(U'x'), none(), none(), false, true),
       SizeLevel::Full, "02 00 81 20 00 " + kX, true, SizeLevel::Full},
  };
  for (const Case& c : cases) run(c);
}

// The marks a sequence leaves for the template of its item, and the size
// it restores after it.
TEST(ScriptMarks, SequenceItemsBeforeRawTex) {
  const Case cases[] = {
      {"limit before raw TeX", seq({limit("lim", ch(U'x'), none()), raw("\\a")}), SizeLevel::Full,
       "03 00 17 10 00 01 00 0F 01 " + kLim + " 00 0B 0F 00 " + line_of(kX) + " 0F 00 01 01 00 0A " + kRawA,
       false, SizeLevel::Full},
      {"side-limit integral before raw TeX",
       seq({integral(IntegralKind::Int, ch(U'0'), none(), none()), raw("\\a")}), SizeLevel::Full,
       "03 00 15 10 00 01 01 0B " + line_of(kZero) + " 01 01 0D 0F 00 01 00 0F 01 " + kIntegral +
           " 00 00 0A " + kRawA,
       false, SizeLevel::Full},
      {"side-limit integral before a letter",
       seq({integral(IntegralKind::Int, ch(U'0'), none(), none()), ch(U'y')}), SizeLevel::Full,
       "03 00 15 10 00 01 01 0B " + line_of(kZero) + " 01 01 0D 0F 00 01 00 0F 01 " + kIntegral + " 00 00 " +
           kY,
       true, SizeLevel::Full},
  };
  for (const Case& c : cases) run(c);
}

TEST(NamedGlyphs, TableEntries) {
  const std::pair<const char*, std::string> glyphs[] = {
      {"standalone_union", "02 04 86 2A 22 C8"},
      {"standalone_intersection", "02 04 86 29 22 C7"},
      {"bigvee", "02 04 8B FD FF 6E"},
      {"bigwedge", "02 04 8B FD FF 6E"},
      {"sum", "02 04 86 11 22 E5"},
      {"product", "02 04 86 0F 22 D5"},
      {"coproduct", "02 04 8B 10 22 43"},
      {"union", "02 04 8B 2A 22 55"},
      {"intersection", "02 04 8B 29 22 49"},
      {"bodyless_sum", "02 04 86 11 22 E5"},
      {"bodyless_product", "02 04 86 0F 22 D5"},
      {"bodyless_coproduct", "02 04 8B 10 22 43"},
      {"bodyless_union", "02 04 7F 2A 22 55"},
      {"bodyless_intersection", "02 04 7F 29 22 49"},
      {"integral", "02 04 86 2B 22 F2"},
      {"contour_loop", "02 04 8B 11 EE D1"},
  };
  for (const auto& [name, bytes] : glyphs) {
    Bytes out;
    ASSERT_TRUE(write_named_big_operator_glyph(name, out).ok()) << name;
    EXPECT_EQ(hex(out), hex(hx(bytes))) << name;
  }
  QvfWriter w = black_in_stream();
  Bytes line;
  ASSERT_TRUE(write_named_big_operator_glyph_line("bodyless_intersection", line, w).ok());
  EXPECT_EQ(hex(line), hex(hx("01 00 08 04 00 0F 01 02 04 7F 29 22 49 00")));
  line.clear();
  ASSERT_TRUE(write_named_big_operator_glyph_line("union", line, w).ok());
  EXPECT_EQ(hex(line), hex(hx("01 00 0F 01 02 04 8B 2A 22 55 00")));
}

TEST(NamedGlyphs, UnknownNamesFail) {
  for (const char* name : {"", "Sum", "sums", "bodyless_", "zzz"}) {
    Bytes out;
    Status st = write_named_big_operator_glyph(name, out);
    ASSERT_FALSE(st.ok()) << name;
    EXPECT_EQ(st.error().message, std::string("missing generated big-operator glyph: ") + name);
    EXPECT_TRUE(out.empty());
    QvfWriter w;
    EXPECT_FALSE(write_named_big_operator_glyph_line(name, out, w).ok());
    EXPECT_TRUE(out.empty());
  }
}

}  // namespace
}  // namespace quorvix::qvf
