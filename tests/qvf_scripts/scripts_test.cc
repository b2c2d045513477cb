// Scripts on hand-built trees: the base, the size and colour records between
// base and template, the three script templates, and scripts on an n-ary
// operator sign. Expected bytes are spelled out record by record.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ast/nesting.h"
#include "qvf/writer/writer_core.h"
#include "qvf_scripts/script_test_util.h"

namespace quorvix::qvf {
namespace {

using namespace test;
using ast::Expr;

const std::string kX = letter('x');
const std::string kY = letter('y');
const std::string kI = letter('i');
const std::string kN = letter('n');
const std::string kOne = digit('1');
const std::string kTwo = digit('2');
const std::string kIntegral = "02 04 86 2B 22 F2";

using Case = WriteCase;
void run(const Case& c) { run_write_case(c); }

Expr bare_integral() { return integral(ast::IntegralKind::Int, none(), none(), none()); }

TEST(ScriptWriter, OrdinaryBases) {
  const auto after_item = [](QvfWriter& w) { w.item.after_item = true; };
  const Case cases[] = {
      {"subscript: COLOR 0 after a base that leaves black", script(ch(U'x'), ch(U'1'), none()),
       SizeLevel::Full, kX + " 0F 00 03 00 1B 00 00 0B " + line_of(kOne) + " 01 01 00", false,
       SizeLevel::Subscript},
      {"superscript: the null subscript slot first", script(ch(U'x'), none(), ch(U'2')), SizeLevel::Full,
       kX + " 0F 00 03 00 1C 00 00 0B 01 01 " + line_of(kTwo) + " 00", true, SizeLevel::Subscript},
      {"both scripts: COLOR 0 between the lines", script(ch(U'x'), ch(U'1'), ch(U'2')), SizeLevel::Full,
       kX + " 0F 00 03 00 1D 00 00 0B " + line_of(kOne) + " 0F 00 " + line_of(kTwo) + " 00", true,
       SizeLevel::Subscript},
      {"at script size the scripts go to sub-subscript size", script(ch(U'x'), ch(U'1'), none()),
       SizeLevel::Subscript, kX + " 0F 00 03 00 1B 00 00 0C " + line_of(kOne) + " 01 01 00", false,
       SizeLevel::SubSubscript},
      {"at sub-subscript size no size record", script(ch(U'x'), ch(U'1'), none()), SizeLevel::SubSubscript,
       kX + " 0F 00 03 00 1B 00 00 " + line_of(kOne) + " 01 01 00", false, SizeLevel::SubSubscript},
      {"no scripts: the base and its COLOR 0", script(ch(U'x'), none(), none()), SizeLevel::Full,
       kX + " 0F 00", true, SizeLevel::Full},
      {"big symbol base: SYM before it and FULL after it",
       script(Expr(ast::BigSymbol{U'\u2295'}), ch(U'i'), none()), SizeLevel::Full,
       "0D 02 04 86 95 22 C5 0A 0F 00 03 00 1B 00 00 0B " + line_of(kI) + " 01 01 00", false,
       SizeLevel::Subscript},
      {"big symbol base after the line's own SYM", script(Expr(ast::BigSymbol{U'\u22C0'}), none(), ch(U'n')),
       SizeLevel::Full, "02 04 8B FD FF 6E 0A 0F 00 03 00 1C 00 00 0B 01 01 " + line_of(kN) + " 00", true,
       SizeLevel::Subscript, [](QvfWriter& w) { w.marks.script_sym_written = true; }},
      {"bare integral base ends at the script's size and still takes FULL",
       script(bare_integral(), none(), ch(U'2')), SizeLevel::Full,
       "03 00 15 10 00 01 01 0B 01 01 01 01 0D 0F 00 01 00 0F 01 " + kIntegral +
           " 00 00 0A 0F 00 03 00 1C 00 00 0B 01 01 " + line_of(kTwo) + " 00",
       true, SizeLevel::Subscript},
      {"subscript line left at another size: restored, then COLOR 0",
       script(ch(U'x'), script(ch(U'y'), none(), ch(U'2')), none()), SizeLevel::Full,
       kX + " 0F 00 03 00 1B 00 00 0B 01 00 0F 01 " + kY + " 0F 00 03 00 1C 00 00 0C 01 01 " + line_of(kTwo) +
           " 00 00 0B 0F 00 01 01 00",
       false, SizeLevel::Subscript},
      {"empty base after an item: COLOR 0", script(seq({}), ch(U'1'), none()), SizeLevel::Full,
       "0F 00 03 00 1B 00 00 0B " + line_of(kOne) + " 01 01 00", false, SizeLevel::Subscript, after_item},
      {"empty base first in its sequence", script(seq({}), ch(U'1'), none()), SizeLevel::Full,
       "03 00 1B 00 00 0B " + line_of(kOne) + " 01 01 00", false, SizeLevel::Subscript},
      {"empty base after raw TeX", script(seq({}), none(), ch(U'2')), SizeLevel::Full,
       "03 00 1C 00 00 0B 01 01 " + line_of(kTwo) + " 00", true, SizeLevel::Subscript,
       [](QvfWriter& w) {
         w.item = ItemFlags{true, true};
       }},
      {"first item of a line that opens itself: no COLOR 0 after the base",
       script(ch(U'x'), none(), ch(U'2')), SizeLevel::Full,
       kX + " 03 00 1C 00 00 0B 01 01 " + line_of(kTwo) + " 00", true, SizeLevel::Subscript,
       [](QvfWriter& w) { w.line.line_opens_itself = true; }},
  };
  for (const Case& c : cases) run(c);
}

TEST(ScriptWriter, BigSymbolBaseTakesTheLineSymbolMark) {
  QvfWriter w = black_in_stream();
  w.marks.script_sym_written = true;
  Written r = write(script(Expr(ast::BigSymbol{U'\u2295'}), ch(U'i'), none()), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.bytes.front(), 0x02);  // no second SYM
  EXPECT_FALSE(w.marks.script_sym_written);
  // An ordinary base leaves the mark alone.
  w.marks.script_sym_written = true;
  ASSERT_TRUE(write(script(ch(U'x'), ch(U'i'), none()), SizeLevel::Full, w).ok);
  EXPECT_TRUE(w.marks.script_sym_written);
}

TEST(ScriptWriter, OperatorSignTakesLimitsUnderAndOver) {
  const std::string sign_line = "0D 0F 00 01 00 0F 01 02 00 86 11 22 00 00";
  const Expr sum = Expr(ast::BigOperatorSymbol{U'\u2211'});
  const Case cases[] = {
      {"both limits", script(sum, ch(U'i'), ch(U'n')), SizeLevel::Full,
       "03 00 16 70 00 01 01 0B " + line_of(kI) + " 0F 00 " + line_of(kN) + " " + sign_line, true,
       SizeLevel::Subscript},
      {"lower limit only", script(sum, ch(U'i'), none()), SizeLevel::Full,
       "03 00 16 50 00 01 01 0B " + line_of(kI) + " 0F 00 01 01 " + sign_line, true, SizeLevel::Subscript},
      {"upper limit only, at script size", script(sum, none(), ch(U'n')), SizeLevel::Subscript,
       "03 00 16 70 00 01 01 0C 01 01 " + line_of(kN) + " " + sign_line, true, SizeLevel::SubSubscript},
  };
  for (const Case& c : cases) run(c);
}

TEST(ScriptWriter, OperatorSignFromCalvaneMathTwoIsDefinedBeforeItsColour) {
  QvfWriter w;  // nothing defined yet
  w.line.sequence_skips_colour = true;
  Written r = write(script(Expr(ast::BigOperatorSymbol{U'\u2294'}), ch(U'i'), none()), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok) << r.error;
  const std::string calvane_two = "13 \"CalvaneMath2\" 00 11 07 \"Calvane Math Two\" 00 08 06 00";
  EXPECT_EQ(hex(r.bytes),
            hex(hx("03 00 16 50 00 01 01 0B 01 00 " + kBlackDef + " 0F 01 " + kI +
                   " 00 0F 00 01 01 0D 0F 00 01 00 " + calvane_two + " 0F 01 02 04 7F 94 22 F2 00 00")));
  // The tree-start mark for this construct is cleared by it.
  EXPECT_FALSE(w.line.sequence_skips_colour);
}

TEST(ScriptWriter, FailuresInsideAreReturned) {
  QvfWriter w = black_in_stream();
  Written r =
      write(script(Expr(ast::BigOperatorSymbol{U'\U0001D400'}), ch(U'i'), none()), SizeLevel::Full, w);
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.error, "character is outside BMP and not yet supported: \U0001D400");
  Written slot = write(script(ch(U'x'), ch(U'\U0001D400'), none()), SizeLevel::Full, w);
  ASSERT_FALSE(slot.ok);
  EXPECT_EQ(slot.error, "character is outside BMP and not yet supported: \U0001D400");
}

TEST(ScriptWriter, SequenceReturnsToItsSizeAfterAScript) {
  run({"x_1 y", seq({script(ch(U'x'), ch(U'1'), none()), ch(U'y')}), SizeLevel::Full,
       kX + " 0F 00 03 00 1B 00 00 0B " + line_of(kOne) + " 01 01 00 0A 0F 01 " + kY, true, SizeLevel::Full});
}

// A long chain of scripts (x^a^a^...) is written in linear time and, past
// the writer's depth bound, refused without exhausting the stack.
TEST(ScriptWriter, LongChainsAreBounded) {
  Expr chain = ch(U'x');
  for (int i = 0; i < 100000; ++i) chain = script(std::move(chain), none(), ch(U'a'));
  QvfWriter w = black_in_stream();
  Written r = write(chain, SizeLevel::Full, w);
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.error, kNestedTooDeeply);

  Expr shallow = ch(U'x');
  const std::size_t levels = kMaxWriterDepth - 1;
  for (std::size_t i = 0; i < levels; ++i) shallow = script(std::move(shallow), none(), ch(U'a'));
  QvfWriter w2 = black_in_stream();
  Written ok = write(shallow, SizeLevel::Full, w2);
  ASSERT_TRUE(ok.ok) << ok.error;
  // One superscript template per level, each ended by its own END.
  EXPECT_EQ(count_occurrences(ok.bytes, hx("03 00 1C 00 00")), levels);
}

}  // namespace
}  // namespace quorvix::qvf
