#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ast/expr.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/writer_state.h"
#include "support/bytes.h"

namespace quorvix::qvf {
namespace {

using ast::Expr;
using ast::ExprList;
using ast::FontKind;
using test_support::bytes;
using test_support::concat;
using test_support::hex;
using test_support::with_name;

const Bytes kBlackDef = bytes({0x10, 0, 0, 0, 0, 0, 0, 0});

Bytes math_one_defs(int encoding, int font, int style) {
  return concat({with_name({0x13}, "CalvaneMath1"), with_name({0x11, encoding}, "Calvane Math One"),
                 bytes({0x08, font, style})});
}
Bytes math_two_defs(int encoding, int font) {
  return concat({with_name({0x13}, "CalvaneMath2"), with_name({0x11, encoding}, "Calvane Math Two"),
                 bytes({0x08, font, 0x00})});
}
Bytes fraktur_defs(int encoding, int font) {
  return concat({with_name({0x13}, "CalvaneFraktur"), with_name({0x11, encoding}, "Calvane Fraktur"),
                 bytes({0x08, font, 0x00})});
}

Expr seq(ExprList items) { return ast::make_sequence(std::move(items)); }
Expr ch(char32_t c) { return ast::make_char(c); }
Expr font(FontKind kind, Expr body) { return ast::Font{ast::box(std::move(body)), kind}; }

// On-demand font numbering: each step runs one definition on the same writer;
// the bytes it writes and the typeface byte its characters then use.
struct Step {
  const char* op;  // "one", "bold", "two", "fraktur", "arial"
  Bytes expected;
  int typeface;
};
struct NumberingCase {
  const char* name;
  std::vector<Step> steps;
};

int run_step(const std::string& op, Bytes& out, QvfWriter& w) {
  if (op == "one") {
    ensure_calvane_math_one(out, w);
    return w.fonts.typeface(OnDemandFont::CalvaneMathOne);
  }
  if (op == "bold") return ensure_bold_calvane_math_one(out, w);
  if (op == "two") {
    ensure_calvane_math_two(out, w);
    return w.fonts.typeface(OnDemandFont::CalvaneMathTwo);
  }
  if (op == "fraktur") {
    ensure_calvane_fraktur(out, w);
    return w.fonts.typeface(OnDemandFont::CalvaneFraktur);
  }
  ensure_arial(out, w);
  return w.fonts.typeface(OnDemandFont::Arial);
}

TEST(OnDemandFonts, Numbering) {
  const NumberingCase cases[] = {
      {"one alone, then again", {{"one", math_one_defs(7, 6, 0), 127}, {"one", {}, 127}}},
      {"two then one", {{"two", math_two_defs(7, 6), 127}, {"one", math_one_defs(8, 7, 0), 126}}},
      {"fraktur then one", {{"fraktur", fraktur_defs(7, 6), 127}, {"one", math_one_defs(8, 7, 0), 126}}},
      {"one then bold", {{"one", math_one_defs(7, 6, 0), 127}, {"bold", bytes({0x08, 0x06, 0x01}), 126}}},
      {"bold then one, bold again",
       {{"bold", math_one_defs(7, 6, 1), 127}, {"one", bytes({0x08, 0x06, 0x00}), 126}, {"bold", {}, 127}}},
      {"two then bold then one",
       {{"two", math_two_defs(7, 6), 127},
        {"bold", math_one_defs(8, 7, 1), 126},
        {"one", bytes({0x08, 0x07, 0x00}), 125}}},
      {"bold then two", {{"bold", math_one_defs(7, 6, 1), 127}, {"two", math_two_defs(8, 7), 126}}},
      {"one then bold then fraktur",
       {{"one", math_one_defs(7, 6, 0), 127},
        {"bold", bytes({0x08, 0x06, 0x01}), 126},
        {"fraktur", fraktur_defs(8, 7), 125}}},
      {"one then two", {{"one", math_one_defs(7, 6, 0), 127}, {"two", math_two_defs(8, 7), 126}}},
      {"arial alone",
       {{"arial", concat({with_name({0x11, 0x05}, "Arial"), bytes({0x08, 0x06, 0x00})}), 127}}},
      {"two then arial",
       {{"two", math_two_defs(7, 6), 127},
        {"arial", concat({with_name({0x11, 0x05}, "Arial"), bytes({0x08, 0x07, 0x00})}), 126},
        {"arial", {}, 126}}},
  };
  for (const NumberingCase& c : cases) {
    QvfWriter w;
    for (const Step& s : c.steps) {
      Bytes out;
      const int t = run_step(s.op, out, w);
      EXPECT_EQ(hex(out), hex(s.expected)) << c.name << ": " << s.op;
      EXPECT_EQ(t, s.typeface) << c.name << ": " << s.op;
    }
  }
}

TEST(OnDemandFonts, BlackDefinitionIsWrittenOnce) {
  QvfWriter w;
  Bytes out;
  ensure_black_color_def(out, w);
  ensure_black_color_def(out, w);
  EXPECT_EQ(hex(out), hex(kBlackDef));
  EXPECT_TRUE(w.colours.black_defined);
  out.clear();
  select_black(out, w);
  EXPECT_EQ(hex(out), hex(bytes({0x0F, 0x01})));
  EXPECT_EQ(w.colours.next_colour_index, 2);
}

TEST(OnDemandFonts, MathOneForExprChoosesBoldForBoldLetters) {
  {
    QvfWriter w;
    Bytes out;
    ensure_calvane_math_one_for_expr(seq({font(FontKind::Bold, ch(0x03DC)), ch(U'x')}), out, w);
    EXPECT_EQ(hex(out), hex(math_one_defs(7, 6, 1)));
    EXPECT_TRUE(w.fonts.defined(OnDemandFont::BoldCalvaneMathOne));
    EXPECT_FALSE(w.fonts.defined(OnDemandFont::CalvaneMathOne));
  }
  {
    QvfWriter w;
    Bytes out;
    ensure_calvane_math_one_for_expr(font(FontKind::MathCal, ch(U'A')), out, w);
    EXPECT_EQ(hex(out), hex(math_one_defs(7, 6, 0)));
    EXPECT_TRUE(w.fonts.defined(OnDemandFont::CalvaneMathOne));
  }
}

// One character in a font kind, on a fresh writer.
struct FontCharCase {
  FontKind kind;
  char32_t ch;
  Bytes expected;  // or the error message below
  const char* error;
};

TEST(WriteFontChar, EveryKind) {
  const FontCharCase cases[] = {
      {FontKind::Bold, U'x', bytes({0x02, 0x00, 0x87, 0x78, 0x00}), nullptr},
      {FontKind::Bold, 0x03B1, bytes({0x02, 0x00, 0x87, 0xB1, 0x03}), nullptr},
      {FontKind::Bold, U'+', bytes({0x02, 0x04, 0x86, 0x2B, 0x00, 0x2B}), nullptr},
      {FontKind::Bold, 0x03DC, concat({math_one_defs(7, 6, 1), bytes({0x02, 0x04, 0x7F, 0xDC, 0x03, 0xF4})}),
       nullptr},
      {FontKind::RomanText, U'x', bytes({0x02, 0x00, 0x81, 0x78, 0x00}), nullptr},
      {FontKind::RomanText, U'<', bytes({0x02, 0x04, 0x86, 0x3C, 0x00, 0x3C}), nullptr},
      {FontKind::TypewriterText, U'x', bytes({0x02, 0x00, 0x7F, 0x78, 0x00}), nullptr},
      {FontKind::MathCal, U'B', concat({math_one_defs(7, 6, 0), bytes({0x02, 0x04, 0x7F, 0x2C, 0x21, 0x42})}),
       nullptr},
      {FontKind::MathCal, U'1', bytes({0x02, 0x00, 0x88, 0x31, 0x00}), nullptr},
      {FontKind::MathCal, U'a', {}, "unsupported MathCal character: a"},
      {FontKind::MathScr, U'A', concat({math_one_defs(7, 6, 0), bytes({0x02, 0x04, 0x7F, 0x00, 0xF1, 0x41})}),
       nullptr},
      {FontKind::MathScr, U'z', {}, "unsupported MathScr character: z"},
      {FontKind::MathSf, U'x',
       concat({with_name({0x11, 0x05}, "Arial"), bytes({0x08, 0x06, 0x00, 0x02, 0x00, 0x7F, 0x78, 0x00})}),
       nullptr},
      // \mathbb{R} stays in QV Extra and defines nothing; \mathbb{A} needs Calvane Math Two.
      {FontKind::MathBb, U'R', bytes({0x02, 0x04, 0x8B, 0x1D, 0x21, 0xA1}), nullptr},
      {FontKind::MathBb, U'A', concat({math_two_defs(7, 6), bytes({0x02, 0x04, 0x7F, 0x80, 0xF0, 0x41})}),
       nullptr},
      {FontKind::MathBb, U'b', {}, "unsupported MathBb character: b"},
      {FontKind::MathBb, U'=', bytes({0x02, 0x04, 0x86, 0x3D, 0x00, 0x3D}), nullptr},
      {FontKind::MathFrak, U'I', bytes({0x02, 0x04, 0x86, 0x11, 0x21, 0xC1}), nullptr},
      {FontKind::MathFrak, U'a', concat({fraktur_defs(7, 6), bytes({0x02, 0x04, 0x7F, 0x1A, 0xF0, 0x61})}),
       nullptr},
      {FontKind::MathFrak, U'7', concat({fraktur_defs(7, 6), bytes({0x02, 0x04, 0x7F, 0x37, 0x00, 0x37})}),
       nullptr},
      {FontKind::MathFrak, U'+', bytes({0x02, 0x04, 0x86, 0x2B, 0x00, 0x2B}), nullptr},
      {FontKind::RomanText, 0x1D400, {}, "font character is outside BMP: \xF0\x9D\x90\x80"},
      {FontKind::MathFrak, 0x1D55C, {}, "font character is outside BMP: \xF0\x9D\x95\x9C"},
  };
  for (const FontCharCase& c : cases) {
    QvfWriter w;
    Bytes out;
    const Status s = write_font_char(c.kind, c.ch, out, w);
    const std::string label = std::string(ast::font_kind_name(c.kind)) + " U+" + std::to_string(c.ch);
    if (c.error != nullptr) {
      ASSERT_FALSE(s.ok()) << label;
      EXPECT_EQ(s.error().message, c.error) << label;
      EXPECT_TRUE(out.empty()) << label;
    } else {
      ASSERT_TRUE(s.ok()) << label << ": " << s.error().message;
      EXPECT_EQ(hex(out), hex(c.expected)) << label;
    }
  }
}

// Font runs whose bodies the font writer handles itself.
struct FontRunCase {
  const char* name;
  FontKind kind;
  Expr body;
  Bytes expected;
};

ast::Expr accent(ast::AccentKind k, Expr body) { return ast::Accent{ast::box(std::move(body)), k}; }

TEST(WriteFontExpr, RunsOfCharacters) {
  const Bytes cal_b = bytes({0x02, 0x04, 0x7F, 0x2C, 0x21, 0x42});
  const FontRunCase cases[] = {
      {"texttt x", FontKind::TypewriterText, ch(U'x'),
       concat({bytes({0x08, 0x03, 0x00}), kBlackDef, bytes({0x0F, 0x01, 0x02, 0x00, 0x7F, 0x78, 0x00})})},
      {"mathrm ab", FontKind::RomanText, seq({ch(U'a'), ch(U'b')}),
       concat({kBlackDef,
               bytes({0x0F, 0x01, 0x02, 0x00, 0x81, 0x61, 0x00, 0x0F, 0x01, 0x02, 0x00, 0x81, 0x62, 0x00})})},
      // Letters of an alphabet drawn from its own font: the font is defined
      // before the black selection.
      {"mathbb AB", FontKind::MathBb, seq({ch(U'A'), ch(U'B')}),
       concat({math_two_defs(7, 6), kBlackDef,
               bytes({0x0F, 0x01, 0x02, 0x04, 0x7F, 0x80, 0xF0, 0x41, 0x0F, 0x01, 0x02, 0x04, 0x7F, 0x81,
                      0xF0, 0x42})})},
      {"mathbb R1", FontKind::MathBb, seq({ch(U'R'), ch(U'1')}),
       concat({kBlackDef, bytes({0x0F, 0x01, 0x02, 0x04, 0x8B, 0x1D, 0x21, 0xA1, 0x0F, 0x01, 0x02, 0x00, 0x88,
                                 0x31, 0x00})})},
      // Small Fraktur letters are in the Fraktur font: no colour in front.
      {"mathfrak a", FontKind::MathFrak, seq({ch(U'a')}),
       concat({fraktur_defs(7, 6), bytes({0x02, 0x04, 0x7F, 0x1A, 0xF0, 0x61})})},
      {"mathcal B", FontKind::MathCal, seq({ch(U'B')}),
       concat({math_one_defs(7, 6, 0), kBlackDef, bytes({0x0F, 0x01}), cal_b})},
      {"mathbf hat x", FontKind::Bold, accent(ast::AccentKind::Hat, seq({ch(U'x')})),
       bytes({0x02, 0x01, 0x87, 0x78, 0x00, 0x06, 0x00, 0x09, 0x00})},
      {"mathbf tilde alpha", FontKind::Bold, accent(ast::AccentKind::Tilde, ch(0x03B1)),
       bytes({0x02, 0x01, 0x87, 0xB1, 0x03, 0x06, 0x00, 0x08, 0x00})},
      {"mathrm vec x", FontKind::RomanText,
       ast::ArrowAccent{ast::box(ch(U'x')), ast::ArrowDirection::Right, false},
       bytes({0x02, 0x01, 0x81, 0x78, 0x00, 0x06, 0x00, 0x0B, 0x00})},
      {"mathrm overleftarrow x", FontKind::RomanText,
       ast::ArrowAccent{ast::box(seq({ch(U'x')})), ast::ArrowDirection::Left, false},
       bytes({0x02, 0x01, 0x81, 0x78, 0x00, 0x06, 0x00, 0x0C, 0x00})},
      {"mathrm overleftrightarrow x", FontKind::RomanText,
       ast::ArrowAccent{ast::box(ch(U'x')), ast::ArrowDirection::Both, false},
       bytes({0x02, 0x01, 0x81, 0x78, 0x00, 0x06, 0x00, 0x0D, 0x00})},
  };
  for (const FontRunCase& c : cases) {
    QvfWriter w;
    Bytes out;
    const WriteResult r = write_font_expr(c.kind, c.body, out, SizeLevel::Full, w);
    ASSERT_TRUE(r.ok()) << c.name << ": " << r.error().message;
    EXPECT_EQ(hex(out), hex(c.expected)) << c.name;
    EXPECT_TRUE(r->black_in_force) << c.name;
    EXPECT_EQ(r->size_after, SizeLevel::Full) << c.name;
  }
}

// Font runs whose bodies are partly handed back to the expression writer.
TEST(WriteFontExpr, BodiesTheFontDoesNotReach) {
  struct Case {
    const char* name;
    FontKind kind;
    Expr body;
    Bytes expected;
    bool black_after;
  };
  const Case cases[] = {
      // Raw TeX after a character: the default colour before it, written as
      // options-0x80 characters.
      {"mathrm a then raw", FontKind::RomanText, seq({ch(U'a'), ast::make_raw("\\fo")}),
       concat({kBlackDef, bytes({0x0F, 0x01, 0x02, 0x00, 0x81, 0x61, 0x00, 0x0F, 0x00, 0x02, 0x80, 0x81,
                                 0x5C, 0x00, 0x02, 0x80, 0x81, 0x66, 0x00, 0x02, 0x80, 0x81, 0x6F, 0x00})}),
       false},
      // A sans-serif run that starts with another font selects black first.
      {"mathsf of mathbf", FontKind::MathSf, font(FontKind::Bold, ch(U'x')),
       concat({kBlackDef, bytes({0x0F, 0x01, 0x02, 0x00, 0x87, 0x78, 0x00})}), true},
      // A style node is written by the expression writer: the letter is plain.
      {"mathrm of textstyle", FontKind::RomanText, ast::Style{ast::box(ch(U'x')), ast::StyleKind::Text},
       bytes({0x02, 0x00, 0x83, 0x78, 0x00}), true},
  };
  for (const Case& c : cases) {
    QvfWriter w;
    Bytes out;
    const WriteResult r = write_font_expr(c.kind, c.body, out, SizeLevel::Full, w);
    ASSERT_TRUE(r.ok()) << c.name << ": " << r.error().message;
    EXPECT_EQ(hex(out), hex(c.expected)) << c.name;
    EXPECT_EQ(r->black_in_force, c.black_after) << c.name;
  }
}

TEST(WriteFontExpr, TypewriterStyleIsDefinedOnce) {
  QvfWriter w;
  Bytes out;
  ASSERT_TRUE(write_font_expr(FontKind::TypewriterText, ch(U'x'), out, SizeLevel::Full, w).ok());
  out.clear();
  ASSERT_TRUE(write_font_expr(FontKind::TypewriterText, ch(U'y'), out, SizeLevel::Subscript, w).ok());
  EXPECT_EQ(hex(out), hex(bytes({0x02, 0x00, 0x7F, 0x79, 0x00})));
}

TEST(WriteFontExpr, AccentCharactersOutsideBmpFail) {
  QvfWriter w;
  Bytes out;
  WriteResult r =
      write_font_expr(FontKind::Bold, accent(ast::AccentKind::Hat, ch(0x1D400)), out, SizeLevel::Full, w);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().message, "bold accent character is outside BMP: \xF0\x9D\x90\x80");
  r = write_font_expr(FontKind::RomanText,
                      ast::ArrowAccent{ast::box(ch(0x1D400)), ast::ArrowDirection::Right, false}, out,
                      SizeLevel::Full, w);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().message, "font accent character is outside BMP: \xF0\x9D\x90\x80");
  r = write_font_expr(FontKind::MathCal, seq({ch(U'A'), ch(U'a')}), out, SizeLevel::Full, w);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().message, "unsupported MathCal character: a");
}

TEST(FontWrappedExpr, WrapsOnlyOtherKinds) {
  const Expr same = font(FontKind::MathBb, ch(U'A'));
  const Expr kept = font_wrapped_expr(FontKind::MathBb, same);
  ASSERT_TRUE(kept.is<ast::Font>());
  EXPECT_TRUE(kept.as<ast::Font>().body->is<ast::Char>());

  const Expr wrapped = font_wrapped_expr(FontKind::RomanText, same);
  ASSERT_TRUE(wrapped.is<ast::Font>());
  EXPECT_EQ(wrapped.as<ast::Font>().font, FontKind::RomanText);
  const Expr& inner = *wrapped.as<ast::Font>().body;
  ASSERT_TRUE(inner.is<ast::Font>());
  EXPECT_EQ(inner.as<ast::Font>().font, FontKind::MathBb);
}

TEST(CalvanePredicates, FirstCharacterDecides) {
  using Pred = std::function<bool(const Expr&)>;
  const Pred one = expr_starts_with_calvane_math_one;
  const Pred two = expr_starts_with_calvane_math_two;
  const Pred frak = expr_starts_with_calvane_fraktur;
  struct Case {
    const char* name;
    Expr expr;
    bool one, two, frak;
  };
  const Case cases[] = {
      {"plain x", seq({ch(U'x'), ch(0x03F5)}), false, false, false},
      {"varepsilon first", seq({ch(0x03F5), ch(U'x')}), true, false, false},
      {"big symbol", ast::BigSymbol{0x22D2}, false, true, false},
      {"command symbol one", ast::CommandSymbol{"curvearrowleft", 0x21B6}, true, false, false},
      {"command symbol two", ast::CommandSymbol{"lll", 0x22D8}, false, true, false},
      {"unknown command", ast::CommandSymbol{"foo", 0x22D8}, false, false, false},
      {"mathcal A", font(FontKind::MathCal, ch(U'A')), true, false, false},
      {"mathcal 1", font(FontKind::MathCal, ch(U'1')), false, false, false},
      {"mathscr B", font(FontKind::MathScr, seq({ch(U'B')})), true, false, false},
      {"mathbb A", font(FontKind::MathBb, ch(U'A')), false, true, false},
      {"mathbb R", font(FontKind::MathBb, ch(U'R')), false, false, false},
      {"mathfrak a", font(FontKind::MathFrak, ch(U'a')), false, false, true},
      {"mathfrak I", font(FontKind::MathFrak, ch(U'I')), false, false, false},
      {"script base", ast::Script{ast::box(font(FontKind::MathBb, ch(U'A'))), ast::box(ch(U'x')), nullptr},
       false, true, false},
      {"font of another kind", font(FontKind::Bold, font(FontKind::MathCal, ch(U'C'))), true, false, false},
      // An alphabet settles its own font only; the others look on into its body.
      {"mathcal over a Math Two glyph", font(FontKind::MathCal, ch(0x22D6)), false, true, false},
      {"mathbb over a Math One glyph", font(FontKind::MathBb, ch(0x03F5)), true, false, false},
      {"mathfrak over mathcal A", font(FontKind::MathFrak, font(FontKind::MathCal, ch(U'A'))), true, false,
       false},
      {"style body", ast::Style{ast::box(ch(0x22D6)), ast::StyleKind::Text}, false, true, false},
      {"visible hybrid", ast::Hybrid{{ast::HybridVisible{ast::box(ch(0x03F5))}, ast::HybridRaw{"x"}}}, true,
       false, false},
      {"raw hybrid", ast::Hybrid{{ast::HybridRaw{"x"}, ast::HybridVisible{ast::box(ch(0x03F5))}}}, false,
       false, false},
      {"group is not descended", ast::Group{ast::box(ch(0x03F5))}, false, false, false},
      {"empty sequence", seq({}), false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(one(c.expr), c.one) << c.name;
    EXPECT_EQ(two(c.expr), c.two) << c.name;
    EXPECT_EQ(frak(c.expr), c.frak) << c.name;
  }
}

TEST(CalvanePredicates, ExplicitFontDefinitionBeforeBlack) {
  struct Case {
    FontKind kind;
    Expr item;
    bool expected;
  };
  const Case cases[] = {
      {FontKind::MathBb, ch(U'A'), true},
      {FontKind::MathBb, ch(U'R'), false},
      {FontKind::MathBb, seq({ast::Style{ast::box(ch(U'H')), ast::StyleKind::Display}}), true},
      {FontKind::MathFrak, ch(U'A'), true},
      {FontKind::MathFrak, ch(U'I'), false},
      {FontKind::MathCal, ch(U'A'), true},
      {FontKind::MathScr, ch(U'Z'), true},
      {FontKind::MathCal, ch(U'1'), false},
      {FontKind::MathSf, ch(U'A'), false},
      {FontKind::Bold, ch(U'A'), false},
      {FontKind::MathBb, ast::Group{ast::box(ch(U'A'))}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(font_item_needs_explicit_font_def_before_black(c.kind, c.item), c.expected)
        << ast::font_kind_name(c.kind);
  }
}

TEST(FirstPlainChar, ThroughSequencesAndStyles) {
  EXPECT_EQ(first_plain_char(seq({seq({ast::Style{ast::box(ch(U'q')), ast::StyleKind::Script}}), ch(U'z')})),
            std::optional<char32_t>(U'q'));
  EXPECT_EQ(first_plain_char(seq({})), std::nullopt);
  EXPECT_EQ(first_plain_char(font(FontKind::Bold, ch(U'q'))), std::nullopt);
}

}  // namespace
}  // namespace quorvix::qvf
