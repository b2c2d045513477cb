#include "qvf/tables/encoding.h"

#include <string>

#include "common/utf8.h"

namespace quorvix::qvf {
namespace {

constexpr bool is_upper(char32_t c) { return c >= U'A' && c <= U'Z'; }
constexpr bool is_lower(char32_t c) { return c >= U'a' && c <= U'z'; }
constexpr bool is_digit(char32_t c) { return c >= U'0' && c <= U'9'; }

Error unsupported(const char* map_name, char32_t c) {
  std::string message = "unsupported ";
  message += map_name;
  message += " character: ";
  append_utf8(message, c);
  return make_error(std::move(message));
}

// The letter itself is the 8-bit position of every alphabet entry.
constexpr AlphabetEntry own_font(char32_t c, std::uint16_t code) {
  return AlphabetEntry{true, static_cast<std::uint8_t>(c), code, kAlphabetOwnFont};
}

constexpr AlphabetEntry other_font(std::uint8_t typeface, std::uint8_t position, std::uint16_t code) {
  return AlphabetEntry{true, position, code, typeface};
}

}  // namespace

Result<AlphabetEntry> mathbb_char(char32_t c) {
  if (!is_upper(c)) return unsupported("mathbb", c);
  switch (c) {
    case U'C': return other_font(kTypefaceQvExtra, 0xA3, 0x2102);
    case U'N': return other_font(kTypefaceQvExtra, 0xA5, 0x2115);
    case U'Q': return other_font(kTypefaceQvExtra, 0xA4, 0x211A);
    case U'R': return other_font(kTypefaceQvExtra, 0xA1, 0x211D);
    case U'Z': return other_font(kTypefaceQvExtra, 0xA2, 0x2124);
    case U'H': return own_font(c, 0x210D);
    case U'P': return own_font(c, 0x2119);
    default: return own_font(c, static_cast<std::uint16_t>(0xF080 + (c - U'A')));
  }
}

Result<AlphabetEntry> mathcal_char(char32_t c) {
  if (!is_upper(c)) return unsupported("mathcal", c);
  switch (c) {
    case U'B': return own_font(c, 0x212C);
    case U'E': return own_font(c, 0x2130);
    case U'F': return own_font(c, 0x2131);
    case U'H': return own_font(c, 0x210B);
    case U'I': return own_font(c, 0x2110);
    case U'L': return own_font(c, 0x2112);
    case U'M': return own_font(c, 0x2133);
    case U'R': return own_font(c, 0x211B);
    default: return own_font(c, static_cast<std::uint16_t>(0xF100 + (c - U'A')));
  }
}

Result<AlphabetEntry> mathfrak_char(char32_t c) {
  switch (c) {
    case U'C': return own_font(c, 0x212D);
    case U'H': return own_font(c, 0x210C);
    case U'Z': return own_font(c, 0x2128);
    case U'I': return other_font(kTypefaceSymbol, 0xC1, 0x2111);
    case U'R': return other_font(kTypefaceSymbol, 0xC2, 0x211C);
    default: break;
  }
  if (is_upper(c)) return own_font(c, static_cast<std::uint16_t>(0xF000 + (c - U'A')));
  if (is_lower(c)) return own_font(c, static_cast<std::uint16_t>(0xF01A + (c - U'a')));
  if (is_digit(c)) return own_font(c, static_cast<std::uint16_t>(c));
  return unsupported("mathfrak", c);
}

}  // namespace quorvix::qvf
