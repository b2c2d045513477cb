// The two legacy byte encoders behind QUORVIX_SOURCE_ENCODING, built on ICU
// converters and kept to the behaviour of the WHATWG Encoding Standard.
#pragma once

#include <string>
#include <string_view>

#include "common/result.h"

namespace quorvix::quorvix_ansi {

enum class LegacyEncoding { kGbk, kWindows1252 };

// Encodes UTF-8 `text` without replacement characters: every character the
// encoding cannot represent is written as "?" (Basic Multilingual Plane) or
// "??" (above U+FFFF) and encoding resumes after it. Invalid UTF-8 sequences
// count as U+FFFD, which neither encoding represents.
Result<std::string> encode_legacy(LegacyEncoding encoding, std::string_view text);

}  // namespace quorvix::quorvix_ansi
