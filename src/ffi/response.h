// Serialising the conversion response.
#pragma once

#include <string_view>

#include "ffi/encoded_equation.h"

namespace quorvix::ffi {

// Each returns a compact NUL-terminated JSON response in one malloc'd buffer
// (released with free, i.e. quorvix_free_v1), sized exactly before writing.
// Strings are escaped as JSON with control characters as \b \f \n \r \t or
// \u00xx (lower-case) and every other character, non-ASCII included, kept as
// its UTF-8 bytes. Running out of memory here aborts the process.

// {"result":{"ole":<hex>,"qvf":<hex>,"normalized_latex":<text>}}
char* serialize_result(const conversion::EncodedEquation& equation) noexcept;

// {"error":<message>}
char* serialize_error(std::string_view message) noexcept;

}  // namespace quorvix::ffi
