// The marks of the decorations drawn on a single character (embellishment
// codes of EMBELL records) and the arrow glyphs stretched over or under a
// template slot.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "ast/expr.h"

namespace quorvix::qvf {

// Embellishment codes written without an accent kind of their own.
namespace embellishment {
inline constexpr std::uint8_t kBarUnder = 29;
inline constexpr std::uint8_t kNegation = 10;
}  // namespace embellishment

// The embellishment code of an accent kind; nothing for the kinds drawn as
// explicit accent templates (acute, grave, check).
std::optional<std::uint8_t> accent_embellishment_code(ast::AccentKind kind);

// The embellishment code of an arrow drawn over one character.
std::uint8_t arrow_embellishment_code(ast::ArrowDirection direction);

// The expanding glyph of an arrow over (or under) a template slot.
std::uint16_t arrow_accent_glyph(ast::ArrowDirection direction, bool under);

namespace detail {
struct AccentCodeRow {
  ast::AccentKind kind;
  std::uint8_t code;  // 0: none
};
// The generated rows, one per accent kind in kind order.
std::span<const AccentCodeRow> accent_code_rows();
}  // namespace detail

}  // namespace quorvix::qvf
