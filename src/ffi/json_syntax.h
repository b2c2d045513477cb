// Syntax check of a request as exactly one JSON value.
#pragma once

#include <optional>
#include <span>
#include <string>
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

// One member of a top-level object that the check looks out for while it
// reads the text, so that the caller needs no second pass over it.
struct TopLevelMember {
  std::string_view name;  // the key, as it reads once decoded
  // The body (between the quotes, escapes as written) of the member's last
  // value when that value is a string; empty when the last value is of
  // another kind or the member does not occur.
  std::optional<std::string_view> string_body;
};

// The check above; when it succeeds, each of `members` holds what the text's
// top-level object (if the value is one) gives for its name. Members of
// nested objects are not looked at.
Status check_json_syntax(std::string_view text, std::span<TopLevelMember> members);

// The text of a string body that passed the check: escapes are decoded and a
// surrogate pair becomes one character, all as UTF-8.
std::string decode_json_string(std::string_view body);
// The same, appended to `text` (whose memory is reused), which is returned.
std::string decode_json_string(std::string_view body, std::string text);

}  // namespace quorvix::ffi
