// Syntax check of a request as exactly one JSON value.
#pragma once

#include <string_view>

#include "common/result.h"

namespace quorvix::ffi {

// Succeeds when `text` holds exactly one JSON value, optionally surrounded by
// whitespace (space, tab, line feed, carriage return). Otherwise the message
// is a short description of the first error followed by " at line L column C":
// L is 1-based, C is the 1-based byte column of the offending character, or of
// the last character read when the text ended early (0 when no character of
// that line was read). Works iteratively: nesting depth costs heap, not stack.
Status check_json_syntax(std::string_view text);

}  // namespace quorvix::ffi
