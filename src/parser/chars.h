// Character classes and UTF-8 conversions used throughout the parser.
#pragma once

#include <string>
#include <string_view>

#include "common/utf8.h"

namespace quorvix::parser {

// The Unicode White_Space set.
constexpr bool is_whitespace(char32_t c) { return is_white_space(c); }

// Letters of control words: ASCII only.
constexpr bool is_ascii_letter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }
constexpr bool is_ascii_digit(char32_t c) { return c >= U'0' && c <= U'9'; }
constexpr bool is_ascii_alnum(char32_t c) { return is_ascii_letter(c) || is_ascii_digit(c); }

using quorvix::append_utf8;

// UTF-8 text as code points; each malformed sequence (its maximal subpart)
// becomes one U+FFFD.
std::u32string decode_utf8(std::string_view text);
// The same, appended to `out` (whose memory is reused), which is returned.
std::u32string decode_utf8(std::string_view text, std::u32string out);

// A run of code points as UTF-8.
std::string encode_utf8(std::u32string_view chars);

}  // namespace quorvix::parser
