// The legacy text encoder: UTF-8 text to the byte encoding chosen by the
// QUORVIX_SOURCE_ENCODING environment variable.
#pragma once

#include <string>
#include <string_view>

#include "common/result.h"

namespace quorvix::quorvix_ansi {

// Encodes UTF-8 `text`; the variable is read afresh on every call.
Result<std::string> encode_quorvix_text(std::string_view text);

}  // namespace quorvix::quorvix_ansi
