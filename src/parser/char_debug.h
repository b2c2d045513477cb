// The quoted forms in which parser messages show characters: 'x' for a
// character, Some('x') or None for a character that may be missing.
#pragma once

#include <optional>
#include <string>

namespace quorvix::parser {

// 'x', with backslash, quote and control characters escaped.
std::string char_debug(char32_t c);

// Some('x') or None.
std::string optional_char_debug(std::optional<char32_t> c);

}  // namespace quorvix::parser
