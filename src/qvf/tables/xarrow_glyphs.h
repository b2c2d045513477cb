// The extensible arrows (\xrightarrow and its relatives) as the writer draws
// them.
#pragma once

#include <cstdint>
#include <string_view>

#include "ast/expr.h"

namespace quorvix::qvf {

struct XArrowGlyph {
  std::uint8_t kind = 0;       // the XArrowKind of the row
  std::string_view command;    // the command that makes this kind, for reference
  std::uint8_t kind_bits = 0;  // direction bits of the template variation (0x10 left, 0x20 right)
  std::uint16_t glyph = 0;     // code of the expanding glyph
};

// The row of `kind`, or nullptr for a kind byte outside the table.
const XArrowGlyph* xarrow_glyph(ast::XArrowKind kind);

}  // namespace quorvix::qvf
