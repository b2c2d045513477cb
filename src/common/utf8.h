// UTF-8 helpers shared by the whole library and its tools: the one step
// decoder, the encoder of one scalar value and the Unicode white-space set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvix {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The Unicode White_Space set.
constexpr bool is_white_space(char32_t c) {
  // Nearly every character asked about is printable ASCII: one comparison
  // settles it.
  if (c > 0x20 && c < 0x85) return false;
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// One decoding step. An invalid sequence yields `valid == false`, the
// replacement character and the length of its maximal subpart (at least 1):
// the bytes that could still have begun a well-formed sequence.
struct Utf8Step {
  char32_t code_point;
  std::size_t length;
  bool valid;
};

// Decodes the sequence starting at `pos` (< s.size()). Overlong forms,
// surrogates and values past U+10FFFF are invalid.
constexpr Utf8Step decode_utf8(std::string_view s, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[pos + i]); };
  const auto in_range = [](std::uint8_t b, std::uint8_t lo, std::uint8_t hi) { return b >= lo && b <= hi; };
  const std::uint8_t b0 = byte(0);
  if (b0 < 0x80) return {b0, 1, true};

  // Number of continuation bytes and the allowed range of the first one
  // (narrowed for E0, ED, F0 and F4 to exclude overlongs, surrogates and
  // values above U+10FFFF).
  std::size_t trail = 0;
  std::uint8_t lo = 0x80, hi = 0xBF;
  char32_t cp = 0;
  if (in_range(b0, 0xC2, 0xDF)) {
    trail = 1;
    cp = b0 & 0x1Fu;
  } else if (in_range(b0, 0xE0, 0xEF)) {
    trail = 2;
    cp = b0 & 0x0Fu;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (in_range(b0, 0xF0, 0xF4)) {
    trail = 3;
    cp = b0 & 0x07u;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return {kReplacementCharacter, 1, false};
  }

  for (std::size_t i = 1; i <= trail; ++i) {
    if (pos + i >= s.size()) return {kReplacementCharacter, i, false};
    const std::uint8_t b = byte(i);
    if (i == 1 ? !in_range(b, lo, hi) : !in_range(b, 0x80, 0xBF)) return {kReplacementCharacter, i, false};
    cp = (cp << 6) | (b & 0x3Fu);
  }
  return {cp, trail + 1, true};
}

// Appends the UTF-8 form of the scalar value `c`.
inline void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace quorvix
