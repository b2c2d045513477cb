#include "parser/chars.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvix::parser {

std::u32string decode_utf8(std::string_view text) { return decode_utf8(text, std::u32string()); }

namespace {

#if defined(__SSE2__)
// Widens the next sixteen bytes to code points when all of them are ASCII;
// false, with nothing written, when one is not.
inline bool widen_ascii_block(const unsigned char* bytes, char32_t* dst) {
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  if (_mm_movemask_epi8(block) != 0) return false;
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_unpacklo_epi8(block, zero);
  const __m128i high = _mm_unpackhi_epi8(block, zero);
  auto* out = reinterpret_cast<__m128i*>(dst);
  _mm_storeu_si128(out, _mm_unpacklo_epi16(low, zero));
  _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(low, zero));
  _mm_storeu_si128(out + 2, _mm_unpacklo_epi16(high, zero));
  _mm_storeu_si128(out + 3, _mm_unpackhi_epi16(high, zero));
  return true;
}

// The same for the next eight bytes.
inline bool widen_ascii_eight(const unsigned char* bytes, char32_t* dst) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  if ((word & 0x8080808080808080ULL) != 0) return false;
  const __m128i low =
      _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes)), _mm_setzero_si128());
  auto* out = reinterpret_cast<__m128i*>(dst);
  _mm_storeu_si128(out, _mm_unpacklo_epi16(low, _mm_setzero_si128()));
  _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(low, _mm_setzero_si128()));
  return true;
}

// Widens the ASCII text at the start of `bytes`, as long as each byte so far
// has been one code point, so that a code point's index is its byte's: whole
// blocks, then a last block that overlaps the one before and writes the
// characters they share again, unchanged. Returns the bytes widened; the
// rest is left to the general loop.
std::size_t widen_ascii_prefix(const unsigned char* bytes, std::size_t size, char32_t* dst) {
  std::size_t pos = 0;
  while (size - pos >= 16 && widen_ascii_block(bytes + pos, dst + pos)) pos += 16;
  const std::size_t left = size - pos;
  if (left == 0 || left >= 16) return pos;
  if (size >= 16) return widen_ascii_block(bytes + size - 16, dst + size - 16) ? size : pos;
  if (left < 8 || !widen_ascii_eight(bytes + pos, dst + pos)) return pos;
  return widen_ascii_eight(bytes + size - 8, dst + size - 8) ? size : pos + 8;
}
#endif

}  // namespace

std::u32string decode_utf8(std::string_view text, std::u32string out) {
  // No byte gives more than one code point: the characters are written into
  // room made beforehand and the string is cut to what was written. ASCII,
  // the bulk of TeX, is copied without the decoder, sixteen bytes at a time
  // where the machine allows.
  const std::size_t base = out.size();
  out.resize(base + text.size());
  char32_t* const start = out.data() + base;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
#if defined(__SSE2__)
  std::size_t pos = widen_ascii_prefix(bytes, size, start);
#else
  std::size_t pos = 0;
#endif
  char32_t* dst = start + pos;
  while (pos < size) {
#if defined(__SSE2__)
    if (size - pos >= 16 && widen_ascii_block(bytes + pos, dst)) {
      pos += 16;
      dst += 16;
      continue;
    }
#endif
    if (bytes[pos] < 0x80) {
      *dst++ = bytes[pos++];
      continue;
    }
    const Utf8Step step = quorvix::decode_utf8(text, pos);
    *dst++ = step.code_point;
    pos += step.length;
  }
  out.resize(base + static_cast<std::size_t>(dst - start));
  return out;
}

std::string encode_utf8(std::u32string_view chars) {
  // ASCII, the bulk of names and raw text, is one byte per character; the
  // encoder takes over at the first character that is not.
  std::string out(chars.size(), '\0');
  std::size_t i = 0;
  for (; i < chars.size() && chars[i] < 0x80; ++i) out[i] = static_cast<char>(chars[i]);
  if (i == chars.size()) return out;
  out.resize(i);
  for (; i < chars.size(); ++i) append_utf8(out, chars[i]);
  return out;
}

}  // namespace quorvix::parser
