// UTF-8 helpers of the text encoder and the preferences reader: validation,
// lossy conversion and white-space trimming, over the shared step decoder.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/utf8.h"

namespace quorvix::quorvix_ansi {

using quorvix::decode_utf8;
using quorvix::kReplacementCharacter;
using quorvix::Utf8Step;

bool is_valid_utf8(std::string_view s);

// Replaces each invalid sequence by U+FFFD.
std::string utf8_lossy(std::string_view s);

using quorvix::append_utf8;

// Unicode White_Space, the set trimmed from preference lines and settings.
using quorvix::is_white_space;

// `s` without leading and trailing white space (invalid bytes are kept).
std::string_view trim_white_space(std::string_view s);

}  // namespace quorvix::quorvix_ansi
