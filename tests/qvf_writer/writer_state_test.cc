// The writer state: the numbers the font-slot allocator hands out, and the
// line and item flags that writers put back however a write ends.
#include "qvf/writer/writer_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/internal_error.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/font_slots.h"
#include "support/bytes.h"
#include "support/tree_builders.h"

namespace quorvix::qvf {
namespace {

using namespace test_support;
using ast::Expr;
using F = OnDemandFont;

// --- Font slots -----------------------------------------------------------

struct Definition {
  F font;
  FontAssignment expected;  // {new font, encoding, font index, typeface byte}
};
struct SlotCase {
  const char* name;
  std::vector<Definition> definitions;  // in definition order, on one allocator
};

std::string describe(const FontAssignment& a) {
  return std::string(a.new_font ? "new font" : "style only") + ", encoding " + std::to_string(a.encoding) +
         ", font " + std::to_string(a.font) + ", typeface " + std::to_string(a.typeface);
}

TEST(FontSlots, NumbersInDefinitionOrder) {
  const SlotCase cases[] = {
      {"math one alone", {{F::CalvaneMathOne, {true, 7, 6, 127}}}},
      {"two then one", {{F::CalvaneMathTwo, {true, 7, 6, 127}}, {F::CalvaneMathOne, {true, 8, 7, 126}}}},
      {"fraktur then two", {{F::CalvaneFraktur, {true, 7, 6, 127}}, {F::CalvaneMathTwo, {true, 8, 7, 126}}}},
      // The regular and the bold style share the Math One font.
      {"one then bold",
       {{F::CalvaneMathOne, {true, 7, 6, 127}}, {F::BoldCalvaneMathOne, {false, 0, 6, 126}}}},
      {"bold then one",
       {{F::BoldCalvaneMathOne, {true, 7, 6, 127}}, {F::CalvaneMathOne, {false, 0, 6, 126}}}},
      // With the bold style in the stream, typeface bytes count down.
      {"two, bold, one",
       {{F::CalvaneMathTwo, {true, 7, 6, 127}},
        {F::BoldCalvaneMathOne, {true, 8, 7, 126}},
        {F::CalvaneMathOne, {false, 0, 7, 125}}}},
      {"one, bold, fraktur",
       {{F::CalvaneMathOne, {true, 7, 6, 127}},
        {F::BoldCalvaneMathOne, {false, 0, 6, 126}},
        {F::CalvaneFraktur, {true, 8, 7, 125}}}},
      // Without it, every font after the first is numbered as the second.
      {"two, fraktur, one",
       {{F::CalvaneMathTwo, {true, 7, 6, 127}},
        {F::CalvaneFraktur, {true, 8, 7, 126}},
        {F::CalvaneMathOne, {true, 8, 7, 126}}}},
      {"arial alone", {{F::Arial, {true, 5, 6, 127}}}},
      {"two then arial", {{F::CalvaneMathTwo, {true, 7, 6, 127}}, {F::Arial, {true, 5, 7, 126}}}},
      // Arial counts the regular Calvane styles only.
      {"bold then arial", {{F::BoldCalvaneMathOne, {true, 7, 6, 127}}, {F::Arial, {true, 5, 6, 127}}}},
      // Arial does not count for the Calvane fonts either.
      {"arial then one", {{F::Arial, {true, 5, 6, 127}}, {F::CalvaneMathOne, {true, 7, 6, 127}}}},
      // The typewriter style belongs to a fixed font and takes no slot.
      {"typewriter, one, two",
       {{F::Typewriter, {false, 0, 3, 127}},
        {F::CalvaneMathOne, {true, 7, 6, 127}},
        {F::CalvaneMathTwo, {true, 8, 7, 126}}}},
      {"typewriter after two", {{F::CalvaneMathTwo, {true, 7, 6, 127}}, {F::Typewriter, {false, 0, 3, 127}}}},
  };
  for (const SlotCase& c : cases) {
    FontSlots slots;
    for (const Definition& d : c.definitions) {
      EXPECT_FALSE(slots.defined(d.font)) << c.name;
      EXPECT_EQ(slots.typeface(d.font), 127) << c.name << ": typeface before the definition";
      const FontAssignment a = slots.define(d.font);
      EXPECT_EQ(describe(a), describe(d.expected)) << c.name;
      EXPECT_TRUE(slots.defined(d.font)) << c.name;
      EXPECT_EQ(slots.typeface(d.font), d.expected.typeface) << c.name;
    }
    // Later definitions leave the numbers of earlier fonts alone.
    for (const Definition& d : c.definitions)
      EXPECT_EQ(slots.typeface(d.font), d.expected.typeface) << c.name;
  }
}

TEST(FontSlots, DefiningTwiceIsAnInternalFailure) {
  FontSlots slots;
  (void)slots.define(F::CalvaneFraktur);
  EXPECT_THROW((void)slots.define(F::CalvaneFraktur), InternalError);
}

// --- Flags put back after a write -----------------------------------------

// A character the writer cannot encode: the write fails where it meets it.
Expr unwritable() { return ch(U'\U0001F600'); }

struct RestoreCase {
  const char* name;
  Expr expr;
  bool as_line;
};

struct FlagsAtStart {
  ItemFlags item;
  LineFlags line;
};

TEST(WriterFlags, LineAndItemFlagsArePutBackAfterAFailingNestedWrite) {
  const RestoreCase cases[] = {
      {"failing second item", seq({ch(U'x'), unwritable()}), false},
      {"failing item after raw TeX", seq({ch(U'x'), raw("\\a"), unwritable()}), false},
      {"failure inside a nested sequence", seq({ch(U'x'), raw("\\a"), group(seq({ch(U'y'), unwritable()}))}),
       false},
      {"failure inside a coloured item", seq({raw("\\a"), color("red", seq({ch(U'y'), unwritable()}))}),
       false},
      // Raw TeX first: the line opens itself and its sequence skips the colour.
      {"self-opening line", seq({raw("\\a"), ch(U'x'), unwritable()}), true},
      {"line with a nested failure", seq({ch(U'x'), group(seq({raw("\\a"), ch(U'y'), unwritable()}))}), true},
  };
  const FlagsAtStart starts[] = {
      {{false, false}, {false, false}},
      {{true, true}, {true, true}},
      {{true, false}, {false, true}},
  };
  for (const RestoreCase& c : cases) {
    for (const FlagsAtStart& start : starts) {
      QvfWriter w;
      w.item = start.item;
      w.line = start.line;
      Bytes out;
      const WriteResult r = c.as_line ? write_line(c.expr, out, SizeLevel::Full, w)
                                      : write_expr(c.expr, out, SizeLevel::Full, w);
      ASSERT_FALSE(r.ok()) << c.name;
      EXPECT_EQ(r.error().message, "character is outside BMP and not yet supported: \U0001F600") << c.name;
      EXPECT_EQ(w.item.after_item, start.item.after_item) << c.name;
      EXPECT_EQ(w.item.after_raw_item, start.item.after_raw_item) << c.name;
      EXPECT_EQ(w.line.line_opens_itself, start.line.line_opens_itself) << c.name;
      // A sequence consumes `sequence_skips_colour`; only a line puts it back.
      if (c.as_line) {
        EXPECT_EQ(w.line.sequence_skips_colour, start.line.sequence_skips_colour) << c.name;
      }
      EXPECT_EQ(w.depth, 0u) << c.name;
    }
  }
}

TEST(WriterFlags, ItemFlagsDescribeTheItemBeingWritten) {
  // A script-level style starting with a space reads `after_raw_item`: after
  // raw TeX it stays at the current size and selects black itself.
  const Expr styled = style(ast::StyleKind::Script, seq({space(2), ch(U'x')}));
  QvfWriter w;
  w.colours.black_defined = true;
  Bytes out;
  const WriteResult r = write_expr(seq({raw("a"), styled, styled}), out, SizeLevel::Full, w);
  ASSERT_TRUE(r.ok()) << r.error().message;
  EXPECT_EQ(hex(out), hex(hx("02 80 81 61 00  02 00 98 02 EF 0F 01 02 00 83 78 00 "
                             "02 00 98 02 EF 0B 02 00 83 78 00 0A")));
  EXPECT_FALSE(w.item.after_item);
  EXPECT_FALSE(w.item.after_raw_item);
}

}  // namespace
}  // namespace quorvix::qvf
