#include "parser/chars.h"

#include <cstdint>

namespace quorvix::parser {

std::u32string decode_utf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  auto cont = [&](std::size_t k) { return k < n && (byte(k) & 0xC0) == 0x80; };
  while (i < n) {
    const std::uint8_t b = byte(i);
    char32_t c = 0xFFFD;
    std::size_t len = 1;
    if (b < 0x80) {
      c = b;
    } else if (b >= 0xC2 && b <= 0xDF && cont(i + 1)) {
      c = ((b & 0x1Fu) << 6) | (byte(i + 1) & 0x3Fu);
      len = 2;
    } else if (b >= 0xE0 && b <= 0xEF && cont(i + 1) && cont(i + 2)) {
      const char32_t v = ((b & 0x0Fu) << 12) | ((byte(i + 1) & 0x3Fu) << 6) | (byte(i + 2) & 0x3Fu);
      if (v >= 0x800 && (v < 0xD800 || v > 0xDFFF)) {
        c = v;
        len = 3;
      }
    } else if (b >= 0xF0 && b <= 0xF4 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      const char32_t v = ((b & 0x07u) << 18) | ((byte(i + 1) & 0x3Fu) << 12) | ((byte(i + 2) & 0x3Fu) << 6) |
                         (byte(i + 3) & 0x3Fu);
      if (v >= 0x10000 && v <= 0x10FFFF) {
        c = v;
        len = 4;
      }
    }
    out.push_back(c);
    i += len;
  }
  return out;
}

std::string encode_utf8(std::u32string_view chars) {
  std::string out;
  out.reserve(chars.size());
  for (char32_t c : chars) append_utf8(out, c);
  return out;
}

}  // namespace quorvix::parser
