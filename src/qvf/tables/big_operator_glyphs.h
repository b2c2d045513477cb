// The named big-operator glyphs: the signs that big-operator, integral and
// enlarged-symbol templates end with.
#pragma once

#include <cstdint>
#include <string_view>

#include "ast/expr.h"
#include "common/bytes.h"
#include "common/result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

struct NamedGlyph {
  std::string_view name;
  std::uint16_t code = 0;
  std::uint8_t typeface = 0;  // typeface number + 128
  std::uint8_t position = 0;  // 8-bit font position (always present)
  // Drawn from a font style the glyph line defines itself, right before the
  // glyph (FONT_STYLE_DEF 08 04 00).
  bool own_font_style = false;
};

// The glyph of `name`, or nullptr when the table has no such name.
const NamedGlyph* find_named_big_operator_glyph(std::string_view name);

// The glyph CHAR of `name` alone; a name outside the table fails.
Status write_named_big_operator_glyph(std::string_view name, Bytes& out);
// The glyph of `name` as a line of its own, in black:
// LINE, (FONT_STYLE_DEF), COLOR 1, CHAR, END.
Status write_named_big_operator_glyph_line(std::string_view name, Bytes& out, QvfWriter& writer);

// The glyphs the construct writers use, looked up once when the library is
// built.
const NamedGlyph& big_operator_glyph(ast::BigOperatorKind kind);           // after an operand
const NamedGlyph& bodyless_big_operator_glyph(ast::BigOperatorKind kind);  // limits only
const NamedGlyph& integral_glyph();
const NamedGlyph& contour_loop_glyph();

void write_glyph(const NamedGlyph& glyph, Bytes& out);
void write_glyph_line(const NamedGlyph& glyph, Bytes& out, QvfWriter& writer);

}  // namespace quorvix::qvf
