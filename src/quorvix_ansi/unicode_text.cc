#include "quorvix_ansi/unicode_text.h"

#include <cstdint>

namespace quorvix::quorvix_ansi {

namespace {

bool in_range(std::uint8_t b, std::uint8_t lo, std::uint8_t hi) { return b >= lo && b <= hi; }

}  // namespace

Utf8Step decode_utf8(std::string_view s, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[pos + i]); };
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
    cp = b0 & 0x1F;
  } else if (in_range(b0, 0xE0, 0xEF)) {
    trail = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (in_range(b0, 0xF0, 0xF4)) {
    trail = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return {kReplacementCharacter, 1, false};
  }

  for (std::size_t i = 1; i <= trail; ++i) {
    if (pos + i >= s.size()) return {kReplacementCharacter, i, false};
    const std::uint8_t b = byte(i);
    if (i == 1 ? !in_range(b, lo, hi) : !in_range(b, 0x80, 0xBF)) return {kReplacementCharacter, i, false};
    cp = (cp << 6) | (b & 0x3F);
  }
  return {cp, trail + 1, true};
}

bool is_valid_utf8(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const Utf8Step step = decode_utf8(s, pos);
    if (!step.valid) return false;
    pos += step.length;
  }
  return true;
}

std::string utf8_lossy(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    const Utf8Step step = decode_utf8(s, pos);
    if (step.valid)
      out.append(s.substr(pos, step.length));
    else
      append_utf8(out, kReplacementCharacter);
    pos += step.length;
  }
  return out;
}

std::string_view trim_white_space(std::string_view s) {
  std::size_t first = s.size();
  std::size_t end = 0;
  for (std::size_t pos = 0; pos < s.size();) {
    const Utf8Step step = decode_utf8(s, pos);
    if (!step.valid || !is_white_space(step.code_point)) {
      if (first == s.size()) first = pos;
      end = pos + step.length;
    }
    pos += step.length;
  }
  if (first == s.size()) return {};
  return s.substr(first, end - first);
}

}  // namespace quorvix::quorvix_ansi
