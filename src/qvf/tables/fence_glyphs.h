// The stretchy fences as the writer draws them: the template selector of
// each kind of fence and the expanding glyph of each side.
#pragma once

#include <cstdint>
#include <optional>

namespace quorvix::qvf {

// The template selector of a fence with `left` and `right`; nothing when the
// two do not make a fence the format draws.
std::optional<std::uint8_t> fence_pair_selector(char32_t left, char32_t right);
// The selector of a one-sided fence, found from either member of a pair.
std::optional<std::uint8_t> fence_side_selector(char32_t delimiter);

// The code of the expanding glyph that draws `delimiter` on the left or the
// right side: the character's own code unless it has a glyph of its own.
// The character must be in the Basic Multilingual Plane.
std::uint16_t fence_glyph(char32_t delimiter, bool left_side);

}  // namespace quorvix::qvf
