// Accent, bar, arrow-accent and negation writers on hand-built trees: the
// forms the parser does not reach (arrows under a body, "lim" with an arrow
// both ways, under-tildes, negated empty fences) and every message.
#include <gtest/gtest.h>

#include <string>

#include "common/internal_error.h"
#include "qvf_scripts/script_test_util.h"

namespace quorvix::qvf {
namespace {

using namespace test;
using ast::Expr;

const std::string kA = letter('a'), kB = letter('b'), kX = letter('x'), kOne = digit('1');

Expr accent(ast::AccentKind kind, Expr body) { return Expr(ast::Accent{ast::box(std::move(body)), kind}); }
Expr arrow(ast::ArrowDirection d, bool under, Expr body) {
  return Expr(ast::ArrowAccent{ast::box(std::move(body)), d, under});
}
Expr negated(Expr body) { return Expr(ast::Not{ast::box(std::move(body))}); }
Expr fraction(Expr num, Expr den) {
  return Expr(ast::Fraction{ast::box(std::move(num)), ast::box(std::move(den))});
}

struct Case {
  const char* name;
  Expr expr;
  SizeLevel size;
  std::string bytes;
  bool black_after;
  SizeLevel size_after;
};

TEST(AccentWriter, Forms) {
  using ast::AccentKind;
  using ast::ArrowDirection;
  const Case cases[] = {
      {"under-tilde on each character of a run", accent(AccentKind::Utilde, seq({ch(U'a'), ch(U'b')})),
       SizeLevel::Full, "02 01 83 61 00 06 00 1E 00 02 01 83 62 00 06 00 1E 00", true, SizeLevel::Full},
      {"a dot over a barred character: both marks, the bar first",
       accent(AccentKind::Dot, accent(AccentKind::Bar, ch(U'x'))), SizeLevel::Full,
       "02 01 83 78 00 06 00 11 06 00 02 00", true, SizeLevel::Full},
      {"a bar over a bold character is the overbar template",
       accent(AccentKind::Bar, font(ast::FontKind::Bold, ch(U'x'))), SizeLevel::Full,
       "03 00 0D 00 00 0F 00 01 00 0F 01 02 00 87 78 00 00 00", true, SizeLevel::Full},
      {"a hat over a body ending at subscript size: FULL again, then black",
       accent(AccentKind::WideHat, script(ch(U'x'), ch(U'1'), none())), SizeLevel::Full,
       "03 00 21 00 00 0F 00 01 00 0F 01 " + kX + " 0F 00 03 00 1B 00 00 0B " + line_of(kOne) +
           " 01 01 00 00 0A 0F 01 02 00 96 02 03 00",
       true, SizeLevel::Full},
      {"a grave accent at subscript size: its glyph one size smaller", accent(AccentKind::Grave, ch(U'a')),
       SizeLevel::Subscript,
       "03 00 17 20 00 " + line_of(kA) + " 0C 0F 00 01 01 01 00 0F 01 02 00 82 60 00 00 00", true,
       SizeLevel::SubSubscript},
      {"an arrow under a body", arrow(ArrowDirection::Right, true, seq({ch(U'a'), ch(U'b')})),
       SizeLevel::Full, "03 00 1F 06 00 0F 00 01 00 0F 01 " + kA + " " + kB + " 00 02 00 96 EF 20 00", true,
       SizeLevel::Full},
      {"a double arrow over a bold character is a template",
       arrow(ArrowDirection::Both, false, font(ast::FontKind::Bold, ch(U'x'))), SizeLevel::Full,
       "03 00 1F 03 00 0F 00 01 00 0F 01 02 00 87 78 00 00 02 00 96 E1 20 00", true, SizeLevel::Full},
      {"arrows of another direction are not repeated marks",
       arrow(ArrowDirection::Left, false, arrow(ArrowDirection::Right, false, ch(U'x'))), SizeLevel::Full,
       "03 00 1F 01 00 0F 00 01 00 0F 01 02 01 83 78 00 06 00 0B 00 00 02 00 96 D6 20 00", true,
       SizeLevel::Full},
      {"an arrow under lim: no colour left in force", arrow(ArrowDirection::Left, true, fn("lim")),
       SizeLevel::Full,
       "03 00 1F 05 00 01 00 0F 01 02 02 82 6C 00 02 00 82 69 00 02 00 82 6D 00 00 0F 00 02 00 96 D6 20 00",
       false, SizeLevel::Full},
      {"a negated empty one-sided fence: its delimiter with the stroke",
       negated(Expr(ast::OneSidedDelimited{ast::box(seq({})), U'|', ast::DelimiterSide::Left})),
       SizeLevel::Full, "02 01 82 7C 00 06 00 0A 00", true, SizeLevel::Full},
  };
  for (const Case& c : cases) {
    QvfWriter w = black_in_stream();
    Written r = write(c.expr, c.size, w);
    ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
    EXPECT_EQ(hex(r.bytes), hex(hx(c.bytes))) << c.name;
    EXPECT_EQ(r.outcome.black_in_force, c.black_after) << c.name;
    EXPECT_EQ(r.outcome.size_after, c.size_after) << c.name;
  }
}

// An accent without a form over a larger body writes the body alone.
TEST(AccentWriter, OtherAccentsOverARunWriteTheBodyAlone) {
  for (const ast::AccentKind kind : {ast::AccentKind::Tilde, ast::AccentKind::Dot, ast::AccentKind::Breve}) {
    const Expr body = seq({ch(U'a'), ch(U'b')});
    QvfWriter plain = black_in_stream(), accented = black_in_stream();
    const Written expected = write(body, SizeLevel::Full, plain);
    const Written r = write(accent(kind, body), SizeLevel::Full, accented);
    ASSERT_TRUE(r.ok && expected.ok) << r.error;
    EXPECT_EQ(hex(r.bytes), hex(expected.bytes)) << ast::accent_kind_name(kind);
  }
}

TEST(AccentWriter, Messages) {
  using ast::ArrowDirection;
  const std::pair<Expr, const char*> cases[] = {
      {accent(ast::AccentKind::Utilde, fraction(ch(U'a'), ch(U'b'))),
       "\\utilde currently supports only simple character runs"},
      {arrow(ArrowDirection::Both, true, seq({fn("lim")})), "unsupported lim arrow accent"},
      {arrow(ArrowDirection::Right, false, font(ast::FontKind::RomanText, ch(U'\U0001D400'))),
       "font accent character is outside BMP: \U0001D400"},
      {negated(Expr(ast::CommandSymbol{"mid", U'|'})),
       "generated command-specific symbol mismatch for \\mid: expected \u2223, got |"},
  };
  for (const auto& [tree, message] : cases) {
    QvfWriter w = black_in_stream();
    const Written r = write(tree, SizeLevel::Full, w);
    EXPECT_FALSE(r.ok) << message;
    EXPECT_EQ(r.error, message);
  }
}

TEST(AccentWriter, UnsupportedNegationPayloadIsAnInternalFailure) {
  QvfWriter w = black_in_stream();
  Bytes out;
  try {
    (void)write_expr(negated(fraction(ch(U'a'), ch(U'b'))), out, SizeLevel::Full, w);
    ADD_FAILURE() << "no internal failure";
  } catch (const InternalError& e) {
    EXPECT_STREQ(e.what(), "internal error: unsupported relation payload in write_not_relation");
  }
}

}  // namespace
}  // namespace quorvix::qvf
