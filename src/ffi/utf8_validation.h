// Checks the request bytes as UTF-8 before anything reads them as text.
#pragma once

#include <string_view>

#include "common/result.h"

namespace quorvix::ffi {

// Succeeds when `bytes` is well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF). Otherwise the message names the first bad
// sequence: "invalid utf-8 sequence of N bytes from index I", N being how many
// of its bytes could still have begun a valid sequence, or "incomplete utf-8
// byte sequence from index I" when the text ends inside a sequence.
Status validate_utf8(std::string_view bytes);

}  // namespace quorvix::ffi
