#include "qvf/tables/accent_marks.h"

#include <array>
#include <cstddef>

#include "common/internal_error.h"

namespace quorvix::qvf {
namespace {

// Per ArrowDirection (left, right, both).
constexpr std::array<std::uint8_t, 3> kArrowCodes = {12, 11, 13};
constexpr std::array<std::uint16_t, 3> kArrowGlyphsOver = {0x20D6, 0x20D7, 0x20E1};
constexpr std::array<std::uint16_t, 3> kArrowGlyphsUnder = {0x20EE, 0x20EF, 0x034D};

std::size_t direction_index(ast::ArrowDirection direction) {
  const auto i = static_cast<std::size_t>(direction);
  if (i >= kArrowCodes.size()) internal_failure("internal error: arrow accent direction out of range");
  return i;
}

}  // namespace

std::optional<std::uint8_t> accent_embellishment_code(ast::AccentKind kind) {
  const auto rows = detail::accent_code_rows();
  const auto i = static_cast<std::size_t>(kind);
  if (i >= rows.size()) internal_failure("internal error: accent of unknown kind");
  if (rows[i].code == 0) return std::nullopt;
  return rows[i].code;
}

std::uint8_t arrow_embellishment_code(ast::ArrowDirection direction) {
  return kArrowCodes[direction_index(direction)];
}

std::uint16_t arrow_accent_glyph(ast::ArrowDirection direction, bool under) {
  const std::size_t i = direction_index(direction);
  return under ? kArrowGlyphsUnder[i] : kArrowGlyphsOver[i];
}

}  // namespace quorvix::qvf
