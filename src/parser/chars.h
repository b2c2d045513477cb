// Character classes and UTF-8 conversions used throughout the parser.
#pragma once

#include <string>
#include <string_view>

namespace quorvix::parser {

// The Unicode White_Space set.
constexpr bool is_whitespace(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// Letters of control words: ASCII only.
constexpr bool is_ascii_letter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }

// Appends the UTF-8 form of `c`.
void append_utf8(std::string& out, char32_t c);

// UTF-8 text as code points; a malformed sequence becomes U+FFFD.
std::u32string decode_utf8(std::string_view text);

// A run of code points as UTF-8.
std::string encode_utf8(std::u32string_view chars);

}  // namespace quorvix::parser
