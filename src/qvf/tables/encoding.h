// The alphabet maps of the styled letter fonts (double-struck, calligraphic,
// Fraktur): which code, 8-bit position and typeface a letter is drawn with.
#pragma once

#include <cstdint>

#include "common/result.h"

namespace quorvix::qvf {

// Typeface byte that stands for the alphabet's own font; the caller defines
// that font on first use and substitutes the typeface byte it was given.
inline constexpr std::uint8_t kAlphabetOwnFont = 127;
inline constexpr std::uint8_t kTypefaceSymbol = 134;   // typeface 6
inline constexpr std::uint8_t kTypefaceQvExtra = 139;  // typeface 11

struct AlphabetEntry {
  bool has_position = true;
  std::uint8_t position = 0;
  std::uint16_t code = 0;
  std::uint8_t typeface = kAlphabetOwnFont;

  // True when the letter is drawn from the alphabet's own (on-demand) font.
  bool in_own_font() const { return has_position && typeface == kAlphabetOwnFont; }
};

// A-Z only.
Result<AlphabetEntry> mathbb_char(char32_t c);
// A-Z only.
Result<AlphabetEntry> mathcal_char(char32_t c);
// A-Z, a-z and 0-9.
Result<AlphabetEntry> mathfrak_char(char32_t c);

}  // namespace quorvix::qvf
