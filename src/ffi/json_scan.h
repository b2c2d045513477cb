// Scanning JSON string text for the bytes that end a plain run.
#pragma once

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvix::ffi {

// Whether a byte inside a JSON string needs attention: a control character
// (U+0000 to U+001F), the quote or the backslash. Every other byte, non-ASCII
// ones included, stands for itself.
constexpr bool is_json_string_special(unsigned char b) { return b < 0x20 || b == '"' || b == '\\'; }

// The position of the first special byte of `text` at or after `pos`, or
// text.size() when there is none. Sixteen bytes are looked at a step.
inline std::size_t find_json_string_special(std::string_view text, std::size_t pos) noexcept {
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i last_control = _mm_set1_epi8(0x1F);
  for (; pos + 16 <= text.size(); pos += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + pos));
    // max(b, 0x1F) == 0x1F exactly when b <= 0x1F, compared unsigned.
    const __m128i control = _mm_cmpeq_epi8(_mm_max_epu8(bytes, last_control), last_control);
    const __m128i special =
        _mm_or_si128(control, _mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, backslash)));
    const int mask = _mm_movemask_epi8(special);
    if (mask != 0) return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  while (pos < text.size() && !is_json_string_special(static_cast<unsigned char>(text[pos]))) ++pos;
  return pos;
}

}  // namespace quorvix::ffi
