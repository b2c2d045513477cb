// Small UTF-8 helpers shared by the text encoder and the preferences reader:
// decoding with maximal-subpart error handling, validation, white-space trimming.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/utf8.h"

namespace quorvix::quorvix_ansi {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One decoding step. An invalid sequence yields `valid == false`, the
// replacement character and the length of its maximal subpart (at least 1).
struct Utf8Step {
  char32_t code_point;
  std::size_t length;
  bool valid;
};

// Decodes the sequence starting at `pos` (< s.size()).
Utf8Step decode_utf8(std::string_view s, std::size_t pos);

bool is_valid_utf8(std::string_view s);

// Replaces each invalid sequence by U+FFFD.
std::string utf8_lossy(std::string_view s);

using quorvix::append_utf8;

// Unicode White_Space, the set trimmed from preference lines and settings.
using quorvix::is_white_space;

// `s` without leading and trailing white space (invalid bytes are kept).
std::string_view trim_white_space(std::string_view s);

}  // namespace quorvix::quorvix_ansi
