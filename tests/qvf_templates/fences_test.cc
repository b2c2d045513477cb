// Fence writers on hand-built trees: the template and glyphs of each kind of
// fence, the size and colour records after the body, and the messages for
// fences the format cannot draw.
#include <gtest/gtest.h>

#include <string>

#include "qvf/constructs/fences.h"
#include "qvf_scripts/script_test_util.h"

namespace quorvix::qvf {
namespace {

using namespace test;
using ast::Expr;

const std::string kX = letter('x');

Expr fence(char32_t left, char32_t right, Expr body) {
  return Expr(ast::Delimited{ast::box(std::move(body)), left, right});
}
Expr one_sided(char32_t c, ast::DelimiterSide side, Expr body) {
  return Expr(ast::OneSidedDelimited{ast::box(std::move(body)), c, side});
}
std::string glyph(const char* code_le) { return std::string("02 00 96 ") + code_le; }

struct FenceCase {
  const char* name;
  Expr tree;
  SizeLevel size;
  std::string bytes;
};

TEST(FenceWriter, TemplatesAndGlyphs) {
  using ast::DelimiterSide;
  const std::string body = "0F 00 " + line_of(kX);
  // x_1 ends at subscript size without black: both are selected again.
  const std::string sub_one_line =
      "01 00 0F 01 " + kX + " 0F 00 03 00 1B 00 00 0B " + line_of(digit('1')) + " 01 01 00 00";
  const FenceCase cases[] = {
      {"bar and angle", fence(U'|', U'\u3009', ch(U'x')), SizeLevel::Full,
       "03 00 1E 02 00 01 01 " + body + " " + glyph("07 EC") + " " + glyph("2A 23") + " 00"},
      {"angles", fence(U'\u3008', U'>', ch(U'x')), SizeLevel::Full,
       "03 00 00 03 00 " + body + " " + glyph("08 30") + " " + glyph("3E 00") + " 00"},
      {"floor", fence(U'\u230A', U'\u230B', ch(U'x')), SizeLevel::Full,
       "03 00 06 03 00 " + body + " " + glyph("F0 F8") + " " + glyph("FB F8") + " 00"},
      {"double bars", fence(U'\u2016', U'\u2016', ch(U'x')), SizeLevel::Full,
       "03 00 05 03 00 " + body + " " + glyph("09 EC") + " " + glyph("0A EC") + " 00"},
      {"bar on the right", one_sided(U'|', DelimiterSide::Right, ch(U'x')), SizeLevel::Full,
       "03 00 04 02 00 " + body + " " + glyph("08 EC") + " 00"},
      {"double bar on the left", one_sided(U'\u2016', DelimiterSide::Left, ch(U'x')), SizeLevel::Full,
       "03 00 05 01 00 " + body + " " + glyph("09 EC") + " 00"},
      {"closing angle alone", one_sided(U'\u3009', DelimiterSide::Right, ch(U'x')), SizeLevel::Full,
       "03 00 00 02 00 " + body + " " + glyph("09 30") + " 00"},
      {"at subscript size", fence(U'[', U']', ch(U'x')), SizeLevel::Subscript,
       "03 00 03 03 00 " + body + " " + glyph("5B 00") + " " + glyph("5D 00") + " 00"},
      {"body ending elsewhere", fence(U'(', U')', script(ch(U'x'), ch(U'1'), none())), SizeLevel::Full,
       "03 00 01 03 00 0F 00 " + sub_one_line + " 0A 0F 01 " + glyph("28 00") + " " + glyph("29 00") + " 00"},
  };
  for (const FenceCase& c : cases) {
    QvfWriter w = black_in_stream();
    Written r = write(c.tree, c.size, w);
    ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
    EXPECT_EQ(hex(r.bytes), hex(hx(c.bytes))) << c.name;
    EXPECT_TRUE(r.outcome.black_in_force) << c.name;
    EXPECT_EQ(r.outcome.size_after, c.size) << c.name;
  }
}

TEST(FenceWriter, Messages) {
  using ast::DelimiterSide;
  struct MessageCase {
    Expr tree;
    std::string message;
  };
  const MessageCase cases[] = {
      {fence(U'(', U']', ch(U'x')), "unsupported dynamic delimiter pair: (]"},
      {fence(U'|', U'>', ch(U'x')), "unsupported dynamic delimiter pair: |>"},
      {fence(U')', U'(', ch(U'x')), "unsupported dynamic delimiter pair: )("},
      {one_sided(U'a', DelimiterSide::Left, ch(U'x')), "unsupported one-sided delimiter: a"},
      {one_sided(U'\u27EE', DelimiterSide::Right, ch(U'x')), "unsupported one-sided delimiter: \u27EE"},
      // A failure in the body comes back unchanged.
      {fence(U'(', U')', ch(U'\U0001D400')), "character is outside BMP and not yet supported: \U0001D400"},
  };
  for (const MessageCase& c : cases) {
    QvfWriter w = black_in_stream();
    Written r = write(c.tree, SizeLevel::Full, w);
    ASSERT_FALSE(r.ok) << c.message;
    EXPECT_EQ(r.error, c.message);
  }
  Bytes out;
  const Status glyphs = write_delimiter_glyph_pair(U'(', U'\U0001D400', out);
  ASSERT_FALSE(glyphs.ok());
  EXPECT_EQ(glyphs.error().message, "delimiter is outside BMP: \U0001D400");
}

}  // namespace
}  // namespace quorvix::qvf
