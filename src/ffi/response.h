// Serialising the conversion response.
#pragma once

#include <cstdlib>
#include <memory>
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

// A response buffer, released with free.
struct FreeResponse {
  void operator()(char* response) const noexcept { std::free(response); }
};
using ResponseText = std::unique_ptr<char, FreeResponse>;

// The same response for an equation whose compound file goes straight into
// it as hex digits. Not noexcept: a layout that breaks its own invariants
// throws InternalError, and the buffer is released on the way out.
ResponseText serialize_framed_result(const conversion::FramedEquation& equation);

// {"error":<message>}
char* serialize_error(std::string_view message) noexcept;

}  // namespace quorvix::ffi
