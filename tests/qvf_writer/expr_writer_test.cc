// The expression writer on trees built directly: leaves, text runs, function
// names, colours, lines, sequences, styles and hybrid runs.
#include "qvf/writer/expr_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "ast/dump.h"
#include "ast/nesting.h"
#include "common/internal_error.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/writer_core.h"
#include "support/bytes.h"
#include "support/source_encoding.h"
#include "support/tree_builders.h"

namespace quorvix::qvf {
namespace {

using namespace test_support;
using ast::Expr;
using ast::ExprList;
using ast::StyleKind;

const std::string kBlackDef = "10 00 00 00 00 00 00 00";
const std::string kRedDef = "10 00 E8 03 00 00 00 00";
const std::string kX = "02 00 83 78 00";
const std::string kY = "02 00 83 79 00";

struct Written {
  Bytes bytes;
  bool ok = false;
  WriteOutcome outcome;
  std::string error;
};

Written write(const Expr& e, SizeLevel size, QvfWriter& w) {
  Written out;
  WriteResult r = write_expr(e, out.bytes, size, w);
  out.ok = r.ok();
  if (r.ok())
    out.outcome = *r;
  else
    out.error = r.error().message;
  return out;
}

Written write_as_line(const Expr& e, SizeLevel size, QvfWriter& w) {
  Written out;
  WriteResult r = write_line(e, out.bytes, size, w);
  out.ok = r.ok();
  if (r.ok()) out.outcome = *r;
  return out;
}

QvfWriter black_in_stream() {
  QvfWriter w;
  w.colours.black_defined = true;
  w.colours.next_colour_index = 2;
  return w;
}

// --- Leaves --------------------------------------------------------------

struct LeafCase {
  const char* name;
  Expr expr;
  SizeLevel size;
  std::string bytes;
  bool black_after;
};

std::string substack_text() {
  std::string s;
  for (char c : std::string(ast::kTranslationFailed)) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "02 00 81 %02X 00 ", static_cast<unsigned char>(c));
    s += buf;
  }
  return s;
}

TEST(ExprWriterLeaves, WriteTheirRecordsAndReportColourAndSize) {
  ScopedSourceEncoding utf8(nullptr);
  const LeafCase cases[] = {
      {"char with black in force", ch(U'x'), SizeLevel::Full, kX, true},
      {"char keeps the incoming size", ch(U'x'), SizeLevel::Subscript, kX, true},
      {"raw command as options-0x80 characters", raw("\\foo"), SizeLevel::Full,
       "02 80 81 5C 00 02 80 81 66 00 02 80 81 6F 00 02 80 81 6F 00", false},
      {"raw question mark and dollar stay in the text typeface", raw("?$"), SizeLevel::Full,
       "02 80 81 3F 00 02 80 81 24 00", false},
      {"text question mark and dollar in the function typeface", text("?$a"), SizeLevel::Full,
       "02 00 82 3F 00 02 00 82 24 00 02 00 81 61 00", true},
      {"text above the BMP as a surrogate pair", text("\U0001D400"), SizeLevel::Full,
       "02 00 81 35 D8 02 00 81 00 DC", true},
      {"empty", Expr(ast::Empty{}), SizeLevel::Full, "00 00", false},
      {"space in the default colour", space(3), SizeLevel::Full, "0F 00 02 00 98 03 EF", false},
      {"default colour around a char", Expr(ast::DefaultColor{ast::box(ch(U'x'))}), SizeLevel::Full,
       "0F 00 " + kX, true},
      {"group is its body", group(ch(U'x')), SizeLevel::SubSubscript, kX, true},
      {"function name", fn("sin"), SizeLevel::Full, "02 02 82 73 00 02 00 82 69 00 02 00 82 6E 00", true},
      {"substack outside a limit", Expr(ast::Substack{{{ch(U'a')}}}), SizeLevel::Full, substack_text(), true},
      {"sized delimiter is a plain char", sized(U'('), SizeLevel::Full, "02 00 82 28 00", true},
  };
  for (const LeafCase& c : cases) {
    QvfWriter w = black_in_stream();
    Written r = write(c.expr, c.size, w);
    ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
    EXPECT_EQ(hex(r.bytes), hex(hx(c.bytes))) << c.name;
    EXPECT_EQ(r.outcome.black_in_force, c.black_after) << c.name;
    EXPECT_EQ(r.outcome.size_after, c.size) << c.name;
  }
}

TEST(ExprWriterLeaves, SubstackTextIsTwentyFourChars) {
  QvfWriter w;
  Written r = write(Expr(ast::Substack{}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.bytes.size(), 24u * 5u);
}

// --- Text runs and the source encoding ------------------------------------

struct EncodingCase {
  const char* encoding;
  Expr expr;
  std::string bytes;
};

TEST(ExprWriterText, FollowsTheSourceEncoding) {
  const EncodingCase cases[] = {
      {"windows-1252", text("\u00E9"), "02 00 81 E9 00"},                     // encodable: its own code
      {"windows-1252", text("\u03B1"), "02 00 81 3F 00"},                     // unencodable: one "?"
      {"windows-1252", text("\U0001D400"), "02 00 81 3F 00 02 00 81 3F 00"},  // above the BMP: "??"
      {"windows-1252", text("?"), "02 00 82 3F 00"},                          // a real question mark
      {"windows-1252", raw("\u03B1"), "02 80 81 B1 03"},                      // raw TeX is not encoded
      {"gbk", text("\u4E2D"), "02 00 81 2D 4E"},
      {nullptr, text("\u00E9"), "02 00 81 E9 00"},
  };
  for (const EncodingCase& c : cases) {
    ScopedSourceEncoding enc(c.encoding);
    QvfWriter w;
    Written r = write(c.expr, SizeLevel::Full, w);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(hex(r.bytes), hex(hx(c.bytes))) << (c.encoding ? c.encoding : "unset");
  }
}

TEST(ExprWriterText, EncoderFailureEndsTheWrite) {
  ScopedSourceEncoding enc("latin1");
  QvfWriter w;
  Written r = write(seq({ch(U'x'), text("a")}), SizeLevel::Full, w);
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.error.rfind("unsupported QUORVIX_SOURCE_ENCODING value \"latin1\"", 0), 0u) << r.error;
}

// --- Function names -------------------------------------------------------

TEST(ExprWriterFunctionNames, TwoPartNamesSelectBlackBetweenTheParts) {
  const std::string lim = "02 02 82 6C 00 02 00 82 69 00 02 00 82 6D 00";
  struct Case {
    const char* name;
    std::string second;
  } cases[] = {
      {"liminf", "02 02 82 69 00 02 00 82 6E 00 02 00 82 66 00"},
      {"limsup", "02 02 82 73 00 02 00 82 75 00 02 00 82 70 00"},
      {"injlim", "02 02 82 69 00 02 00 82 6E 00 02 00 82 6A 00"},
      {"projlim", "02 02 82 70 00 02 00 82 72 00 02 00 82 6F 00 02 00 82 6A 00"},
  };
  for (const Case& c : cases) {
    QvfWriter w = black_in_stream();
    Written r = write(fn(c.name), SizeLevel::Full, w);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(hex(r.bytes), hex(hx(lim + " 0F 01 " + c.second))) << c.name;
    EXPECT_TRUE(r.outcome.black_in_force);
  }
}

TEST(ExprWriterFunctionNames, FirstColourOneDefinesBlackAndTakesIndexOne) {
  QvfWriter w;
  Written r = write(seq({fn("liminf"), fn("limsup")}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(count_occurrences(r.bytes, hx(kBlackDef)), 1u);
  EXPECT_EQ(count_occurrences(r.bytes, hx("0F 01")), 2u);
  EXPECT_EQ(w.colours.next_colour_index, 2);
}

TEST(ExprWriterFunctionNames, CharacterAboveTheBmpFails) {
  QvfWriter w;
  Written r = write(fn("a\U0001D400"), SizeLevel::Full, w);
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.error, "function name character is outside BMP: \U0001D400");
}

// --- Colours --------------------------------------------------------------

TEST(ExprWriterColours, NamedColourIsDefinedOnceAndReused) {
  QvfWriter w = black_in_stream();
  Written first = write(color("red", ch(U'x')), SizeLevel::Full, w);
  ASSERT_TRUE(first.ok);
  EXPECT_EQ(hex(first.bytes), hex(hx(kRedDef + " 0F 02 " + kX)));
  EXPECT_FALSE(first.outcome.black_in_force);
  EXPECT_TRUE(w.colours.named_colour_active);
  EXPECT_EQ(w.colours.named_colour_index, 2);

  Written again = write(color("red", ch(U'y')), SizeLevel::Full, w);
  ASSERT_TRUE(again.ok);
  EXPECT_EQ(hex(again.bytes), hex(hx("0F 02 " + kY)));

  Written blue = write(color("blue", ch(U'x')), SizeLevel::Full, w);
  EXPECT_EQ(hex(blue.bytes), hex(hx("10 00 00 00 00 00 E8 03 0F 03 " + kX)));
}

TEST(ExprWriterColours, UnknownColourIsWrittenAsPlain) {
  QvfWriter w = black_in_stream();
  Written r = write(color("teal", ch(U'x')), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes), hex(hx(kX)));
  EXPECT_TRUE(r.outcome.black_in_force);
  EXPECT_FALSE(w.colours.named_colour_active);
}

TEST(ExprWriterColours, BlackSelectsColourOne) {
  QvfWriter w;
  Written r = write(seq({color("black", ch(U'x')), color("black", ch(U'y'))}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes), hex(hx(kBlackDef + " 0F 01 " + kX + " 0F 01 " + kY)));
}

TEST(ExprWriterColours, FirstColourTakesIndexOneWhenFree) {
  QvfWriter w;
  w.tree_start.colour_index_one_free = true;
  Written r = write(color("green", ch(U'x')), SizeLevel::Full, w);
  EXPECT_EQ(hex(r.bytes), hex(hx("10 00 00 00 E8 03 00 00 0F 01 " + kX)));
  EXPECT_FALSE(w.tree_start.colour_index_one_free);
  EXPECT_EQ(w.colours.next_colour_index, 2);
}

TEST(ExprWriterColours, IndexStaysAt255) {
  QvfWriter w;
  w.colours.next_colour_index = 255;
  Bytes out;
  EXPECT_EQ(write_named_color_selector("red", *named_color_def("red"), out, w), 255);
  out.clear();
  EXPECT_EQ(write_named_color_selector("purple", *named_color_def("purple"), out, w), 255);
  EXPECT_EQ(hex(out), hex(hx("10 00 26 02 8C 00 E8 03")));
  EXPECT_EQ(w.colours.next_colour_index, 255);
}

TEST(ExprWriterColours, NamedColourTableComparesExactly) {
  EXPECT_NE(named_color_def("red"), nullptr);
  EXPECT_EQ(named_color_def("Red"), nullptr);
  EXPECT_EQ(named_color_def("re"), nullptr);
  EXPECT_EQ(named_color_def("reds"), nullptr);
  EXPECT_EQ(named_color_def(""), nullptr);
}

TEST(ExprWriterColours, LeadingRawPieceIsWrittenBeforeTheColour) {
  QvfWriter w = black_in_stream();
  Written r = write(color("red", seq({seq({raw("\\a"), ch(U'x')}), ch(U'y')})), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes), hex(hx("02 80 81 5C 00 02 80 81 61 00 " + kRedDef + " 0F 02 " + kX + " " + kY)));
}

TEST(ExprWriterColours, NestedRestIsWrittenAsItsOwnSequence) {
  // The inner rest [x, y] stays one item, so the prime after it is an item of
  // its own and not an embellishment of y.
  QvfWriter w = black_in_stream();
  Written r =
      write(color("red", seq({seq({raw("\\a"), ch(U'x'), ch(U'y')}), ch(U'\'')})), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes), hex(hx("02 80 81 5C 00 02 80 81 61 00 " + kRedDef + " 0F 02 " + kX + " " + kY +
                                 " 02 00 83 27 00")));
}

TEST(ExprWriterColours, SplitOfLeadingRawTex) {
  const Expr nested = seq({seq({raw("\\a"), ch(U'x')}), ch(U'y'), ch(U'z')});
  RawVisibleSplit split = split_leading_raw_visible_tail(nested);
  ASSERT_NE(split.raw, nullptr);
  EXPECT_EQ(split.raw->as<ast::RawTex>().text, "\\a");
  ASSERT_EQ(split.tail.size(), 3u);
  EXPECT_EQ(split.tail[0]->as<ast::Char>().ch, U'x');
  EXPECT_EQ(split.tail[2]->as<ast::Char>().ch, U'z');

  // An inner rest of several items stays one item ahead of the outer ones.
  const Expr deeper = seq({seq({seq({raw("\\a"), ch(U'x'), ch(U'y')}), ch(U'z')}), ch(U'w')});
  RawVisibleSplit kept = split_leading_raw_visible_tail(deeper);
  ASSERT_NE(kept.raw, nullptr);
  ASSERT_EQ(kept.tail.size(), 2u);
  EXPECT_EQ(ast::dump(*kept.tail[0]), "Seq[Seq[Char('x'), Char('y')], Char('z')]");
  EXPECT_EQ(kept.tail[1], &deeper.as<ast::Sequence>().items[1]);
  // Without outer items the inner rest is the whole tail.
  RawVisibleSplit inner_only = split_leading_raw_visible_tail(seq({seq({raw("\\a"), ch(U'x'), ch(U'y')})}));
  ASSERT_EQ(inner_only.tail.size(), 2u);
  EXPECT_EQ(inner_only.built, nullptr);

  EXPECT_EQ(split_leading_raw_visible_tail(seq({raw("\\a")})).raw, nullptr);
  EXPECT_EQ(split_leading_raw_visible_tail(seq({ch(U'x'), raw("\\a")})).raw, nullptr);
  EXPECT_EQ(split_leading_raw_visible_tail(raw("\\a")).raw, nullptr);
}

// --- Lines ----------------------------------------------------------------

TEST(ExprWriterLines, SizedDelimitersGetSymbolSize) {
  // \big( x \big) at full size.
  QvfWriter w;
  Written r = write_as_line(seq({sized(U'('), ch(U'x'), sized(U')')}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes),
            hex(hx("01 00 0D " + kBlackDef + " 0F 01 02 00 82 28 00 0A " + kX + " 0D 02 00 82 29 00 00")));
  EXPECT_FALSE(w.marks.leading_sym_written);
}

TEST(ExprWriterLines, AdjacentSizedDelimitersShareOneSymbolRecord) {
  QvfWriter w = black_in_stream();
  Written r = write_as_line(seq({sized(U'('), sized(U'['), ch(U'x')}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes), hex(hx("01 00 0D 0F 01 02 00 82 28 00 02 00 82 5B 00 0A " + kX + " 00")));
}

TEST(ExprWriterLines, EmptyAndSpaceOnlyLines) {
  QvfWriter w = black_in_stream();
  Written empty = write_as_line(seq({}), SizeLevel::Subscript, w);
  EXPECT_EQ(hex(empty.bytes), "01 00 00");
  EXPECT_FALSE(empty.outcome.black_in_force);
  EXPECT_EQ(empty.outcome.size_after, SizeLevel::Subscript);

  Written spaces = write_as_line(seq({space(1), space(2)}), SizeLevel::Full, w);
  EXPECT_EQ(hex(spaces.bytes), hex(hx("01 00 02 00 98 01 EF 02 00 98 02 EF 00")));

  Written lead = write_as_line(seq({space(1), ch(U'x'), ch(U'y')}), SizeLevel::Full, w);
  EXPECT_EQ(hex(lead.bytes), hex(hx("01 00 02 00 98 01 EF 0F 01 " + kX + " " + kY + " 00")));
  EXPECT_TRUE(lead.outcome.black_in_force);
}

TEST(ExprWriterLines, SelfOpeningContentGetsNoPreambleAndFlagsAreRestored) {
  QvfWriter w = black_in_stream();
  Written r = write_as_line(seq({color("red", ch(U'x')), ch(U'y')}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  // The sequence opens its first item: no COLOR 1 before the colour; black
  // is selected again before y.
  EXPECT_EQ(hex(r.bytes), hex(hx("01 00 " + kRedDef + " 0F 02 " + kX + " 0F 01 " + kY + " 00")));
  EXPECT_FALSE(w.line.line_opens_itself);
  EXPECT_FALSE(w.line.sequence_skips_colour);
}

// --- Sequences ------------------------------------------------------------

TEST(ExprWriterSequences, PrimesBecomeEmbellishments) {
  QvfWriter w = black_in_stream();
  Written r = write(seq({ch(U'x'), ch(U'\''), ch(U'\''), ch(U'\''), ch(U'y')}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes), hex(hx("02 01 83 78 00 06 00 06 06 00 05 00 " + kY)));
}

TEST(ExprWriterSequences, SpacesAfterSpacesGoWithoutColour) {
  QvfWriter w = black_in_stream();
  Written r = write(seq({ch(U'x'), space(3), space(3), ch(U'y')}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes), hex(hx(kX + " 0F 00 02 00 98 03 EF 02 00 98 03 EF 0F 01 " + kY)));
}

TEST(ExprWriterSequences, ModuloSpacingIsNarrowerAtScriptSize) {
  const Expr mod = seq({ch(U'x'), seq({space(5), fn("mod"), space(2)})});
  const std::string mod_chars = "02 02 82 6D 00 02 00 82 6F 00 02 00 82 64 00";
  {
    QvfWriter w = black_in_stream();
    Written r = write(mod, SizeLevel::Subscript, w);
    EXPECT_EQ(hex(r.bytes), hex(hx(kX + " 0F 00 02 00 98 04 EF 02 00 98 04 EF 02 00 98 04 EF 0F 01 " +
                                   mod_chars + " 0F 00 02 00 98 02 EF")));
  }
  {
    QvfWriter w = black_in_stream();
    Written r = write(mod, SizeLevel::Full, w);
    EXPECT_EQ(hex(r.bytes),
              hex(hx(kX + " 0F 00 02 00 98 05 EF 0F 01 " + mod_chars + " 0F 00 02 00 98 02 EF")));
  }
}

TEST(ExprWriterSequences, NamedColourResumesAfterRawTex) {
  QvfWriter w = black_in_stream();
  Written r = write(seq({color("red", ch(U'x')), raw("\\a"), ch(U'y')}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes),
            hex(hx(kRedDef + " 0F 02 " + kX + " 0F 00 02 80 81 5C 00 02 80 81 61 00 0F 02 " + kY)));
  EXPECT_FALSE(w.colours.named_colour_active);
}

TEST(ExprWriterSequences, BlackAfterRawTexFollowingContentSkipsTheDefinition) {
  {
    QvfWriter w;
    Written r = write(seq({ch(U'x'), raw("\\a"), ch(U'y')}), SizeLevel::Full, w);
    EXPECT_EQ(hex(r.bytes), hex(hx(kX + " 02 80 81 5C 00 02 80 81 61 00 0F 01 " + kY)));
  }
  {
    QvfWriter w;
    Written r = write(seq({raw("\\a"), raw("b"), ch(U'y')}), SizeLevel::Full, w);
    EXPECT_EQ(hex(r.bytes),
              hex(hx("02 80 81 5C 00 02 80 81 61 00 02 80 81 62 00 " + kBlackDef + " 0F 01 " + kY)));
  }
}

TEST(ExprWriterSequences, ReturnsToTheSequenceSizeBeforeTheNextItem) {
  // A script-level style leaves subscript size selected only when it starts
  // the tree; the next item brings the sequence back to full size.
  QvfWriter w = black_in_stream();
  w.tree_start.style_at_tree_start = true;
  Written r = write(seq({style(StyleKind::Script, ch(U'x')), ch(U'y')}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes), hex(hx("0F 01 " + kX + " 0A " + kY)));
  EXPECT_EQ(r.outcome.size_after, SizeLevel::Full);
}

// --- Styles ---------------------------------------------------------------

struct StyleCase {
  const char* name;
  Expr expr;
  SizeLevel size;
  bool at_tree_start;
  bool after_raw;
  std::string bytes;
  SizeLevel size_after;
};

TEST(ExprWriterStyles, SizeRecordsAroundTheBody) {
  const StyleCase cases[] = {
      {"script at full size", style(StyleKind::Script, ch(U'x')), SizeLevel::Full, false, false,
       "0B " + kX + " 0A", SizeLevel::Full},
      {"scriptscript at script size", style(StyleKind::ScriptScript, ch(U'x')), SizeLevel::Subscript, false,
       false, "0C " + kX + " 0B", SizeLevel::Subscript},
      {"display at full size", style(StyleKind::Display, ch(U'x')), SizeLevel::Full, false, false, kX,
       SizeLevel::Full},
      {"script at the tree start", style(StyleKind::Script, ch(U'x')), SizeLevel::Full, true, false,
       "0F 01 " + kX, SizeLevel::Subscript},
      {"script with leading space", style(StyleKind::Script, seq({space(2), ch(U'x')})), SizeLevel::Full,
       false, false, "02 00 98 02 EF 0B " + kX + " 0A", SizeLevel::Full},
      {"script with leading space after raw TeX", style(StyleKind::Script, seq({space(2), ch(U'x')})),
       SizeLevel::Full, false, true, "02 00 98 02 EF 0F 01 " + kX, SizeLevel::Full},
      {"script of spaces only", style(StyleKind::Script, seq({space(2), space(3)})), SizeLevel::Full, false,
       false, "02 00 98 02 EF 02 00 98 03 EF", SizeLevel::Full},
  };
  for (const StyleCase& c : cases) {
    QvfWriter w = black_in_stream();
    w.tree_start.style_at_tree_start = c.at_tree_start;
    w.item.after_raw_item = c.after_raw;
    Written r = write(c.expr, c.size, w);
    ASSERT_TRUE(r.ok) << c.name;
    EXPECT_EQ(hex(r.bytes), hex(hx(c.bytes))) << c.name;
    EXPECT_EQ(r.outcome.size_after, c.size_after) << c.name;
    EXPECT_FALSE(w.tree_start.style_at_tree_start) << c.name;
  }
}

// --- Hybrid runs ----------------------------------------------------------

TEST(ExprWriterHybrid, RawPiecesReturnToTheDefaultColour) {
  QvfWriter w;
  Written r = write(hybrid({"\\a", ch(U'x'), "b"}), SizeLevel::Full, w);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hex(r.bytes),
            hex(hx("02 80 81 5C 00 02 80 81 61 00 " + kBlackDef + " 0F 01 " + kX + " 0F 00 02 80 81 62 00")));
  EXPECT_FALSE(r.outcome.black_in_force);
}

// --- Spaces-only trees and nesting ----------------------------------------

TEST(ExprWriterSpaces, OnlySpacesInOrderThroughStyles) {
  Bytes out;
  write_only_spaces(seq({space(1), style(StyleKind::Text, seq({space(2), space(3)}))}), out);
  EXPECT_EQ(hex(out), hex(hx("02 00 98 01 EF 02 00 98 02 EF 02 00 98 03 EF")));
  EXPECT_THROW(write_only_spaces(seq({space(1), ch(U'x')}), out), InternalError);
}

TEST(ExprWriterNesting, DeepTreesFailInsteadOfOverflowing) {
  Expr deep = ch(U'x');
  for (int i = 0; i < 100000; ++i) deep = group(std::move(deep));
  QvfWriter w;
  Written r = write(deep, SizeLevel::Full, w);
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.error, kNestedTooDeeply);

  Expr shallow = ch(U'x');
  // Each level is a Sequence around a Group: two writer levels.
  for (std::size_t i = 0; i + 8 < kMaxWriterDepth / 2; ++i) {
    ExprList items;
    items.push_back(group(std::move(shallow)));
    items.push_back(ch(U'y'));
    shallow = seq(std::move(items));
  }
  QvfWriter w2 = black_in_stream();
  Written ok = write(shallow, SizeLevel::Full, w2);
  EXPECT_TRUE(ok.ok) << ok.error;
  EXPECT_EQ(w2.depth, 0u);
}

}  // namespace
}  // namespace quorvix::qvf
