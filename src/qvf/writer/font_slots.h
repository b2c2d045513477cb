// The numbers of the fonts the writer defines on demand in the middle of the
// stream: which encoding and font index their definition records carry and
// which typeface byte their characters use.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvix::qvf {

// The font styles defined on demand. The bold style of Calvane Math One is a
// second style of the same font; the typewriter style is a style of the fixed
// Courier New font.
enum class OnDemandFont : std::uint8_t {
  CalvaneMathOne,
  BoldCalvaneMathOne,
  CalvaneMathTwo,
  CalvaneFraktur,
  Arial,
  Typewriter,
};
inline constexpr std::size_t kOnDemandFontCount = 6;

// What the definition of a font style writes.
struct FontAssignment {
  // The font itself is new to the stream: its FONT_DEF (and, for a Calvane
  // font, its ENCODING_DEF) precede the FONT_STYLE_DEF. Otherwise only the
  // FONT_STYLE_DEF is written.
  bool new_font = false;
  std::uint8_t encoding = 0;  // encoding index of the FONT_DEF (when new_font)
  std::uint8_t font = 0;      // FONT_DEF index the FONT_STYLE_DEF refers to
  std::uint8_t typeface = 0;  // CHAR typeface byte of the style
  friend bool operator==(const FontAssignment&, const FontAssignment&) = default;
};

// Hands out the numbers of the on-demand fonts in the order they are defined.
//
// The fixed definition block ends with font 5 and encoding 6. The first
// Calvane font defined takes encoding 7, font 6 and typeface byte 127; any
// later Calvane font takes encoding 8, font 7 and typeface byte 126 (the
// numbering tells only first and later apart). Once the bold Math One style is
// in the stream the typeface bytes count down instead: 127 minus the number of
// Calvane styles defined before. Arial has no encoding of its own (it uses
// encoding 5) and is numbered after the regular Calvane styles only. The
// typewriter style always uses font 3 and typeface byte 127.
class FontSlots {
 public:
  FontSlots() { typeface_.fill(kFirstTypeface); }

  bool defined(OnDemandFont f) const { return (defined_ & bit(f)) != 0; }

  // The typeface byte characters in `f` use; 127 until `f` is defined.
  std::uint8_t typeface(OnDemandFont f) const { return typeface_[static_cast<std::size_t>(f)]; }

  // Marks `f` as defined and returns the numbers of its definition records.
  // Call only when `f` is not defined yet.
  FontAssignment define(OnDemandFont f);

 private:
  static constexpr std::uint8_t kFirstTypeface = 127;

  static constexpr unsigned bit(OnDemandFont f) { return 1u << static_cast<unsigned>(f); }
  bool any_defined(unsigned mask) const { return (defined_ & mask) != 0; }
  std::uint8_t count_defined(unsigned mask) const;

  FontAssignment define_calvane(OnDemandFont f) const;

  unsigned defined_ = 0;  // one bit per OnDemandFont
  std::array<std::uint8_t, kOnDemandFontCount> typeface_{};
  std::uint8_t math_one_font_ = 6;  // FONT_DEF index of Calvane Math One, once defined
};

}  // namespace quorvix::qvf
