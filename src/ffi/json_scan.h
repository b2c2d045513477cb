// Scanning JSON string text for the bytes that end a plain run.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvix::ffi {

// Whether a byte inside a JSON string needs attention: a control character
// (U+0000 to U+001F), the quote or the backslash. Every other byte, non-ASCII
// ones included, stands for itself.
constexpr bool is_json_string_special(unsigned char b) { return b < 0x20 || b == '"' || b == '\\'; }

// The byte that a one-letter escape stands for, given the letter after the
// backslash; 0 for the \u escape and for letters that begin no escape.
constexpr char one_letter_escape(char letter) {
  switch (letter) {
    case '"': return '"';
    case '\\': return '\\';
    case '/': return '/';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    default: return 0;
  }
}

// The bytes looked at a step by the scans below.
inline constexpr std::size_t kJsonScanBlock = 16;

// Which of the kJsonScanBlock bytes from `block` are special: bit i for
// block[i].
inline unsigned json_string_special_mask(const char* block) noexcept {
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i last_control = _mm_set1_epi8(0x1F);
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
  // max(b, 0x1F) == 0x1F exactly when b <= 0x1F, compared unsigned.
  const __m128i control = _mm_cmpeq_epi8(_mm_max_epu8(bytes, last_control), last_control);
  const __m128i special =
      _mm_or_si128(control, _mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, backslash)));
  return static_cast<unsigned>(_mm_movemask_epi8(special));
#else
  unsigned mask = 0;
  for (std::size_t i = 0; i < kJsonScanBlock; ++i)
    if (is_json_string_special(static_cast<unsigned char>(block[i]))) mask |= 1U << i;
  return mask;
#endif
}

// The same for the n bytes at `part`, fewer than kJsonScanBlock, after which
// the text may end: they are scanned from a padded copy, and the bits past
// n are clear.
inline unsigned json_string_special_mask_of_part(const char* part, std::size_t n) noexcept {
  char padded[kJsonScanBlock] = {};
  std::memcpy(padded, part, n);
  return json_string_special_mask(padded) & ((1U << n) - 1);
}

// The position of the first special byte of `text` at or after `pos`, or
// text.size() when there is none.
inline std::size_t find_json_string_special(std::string_view text, std::size_t pos) noexcept {
  for (; pos + kJsonScanBlock <= text.size(); pos += kJsonScanBlock) {
    const unsigned mask = json_string_special_mask(text.data() + pos);
    if (mask != 0) return pos + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  if (pos == text.size()) return pos;
  const unsigned mask = json_string_special_mask_of_part(text.data() + pos, text.size() - pos);
  return mask != 0 ? pos + static_cast<std::size_t>(__builtin_ctz(mask)) : text.size();
}

}  // namespace quorvix::ffi
