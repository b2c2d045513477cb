// Serialising the conversion response.
#pragma once

#include <cstdlib>
#include <memory>
#include <string_view>

#include "ffi/encoded_equation.h"

namespace quorvix::ffi {

// Each returns a compact NUL-terminated JSON response in one malloc'd buffer
// (released with release_response, i.e. quorvix_free_v1), sized exactly before writing.
// Strings are escaped as JSON with control characters as \b \f \n \r \t or
// \u00xx (lower-case) and every other character, non-ASCII included, kept as
// its UTF-8 bytes.
//
// Out of memory, the host still gets an answer: a result that cannot be
// allocated becomes the internal-failure error, and an error response that
// cannot be allocated either is a constant one, the same text, that
// release_response knows not to free.

// {"result":{"ole":<hex>,"qvf":<hex>,"normalized_latex":<text>}}
char* serialize_result(const conversion::EncodedEquation& equation) noexcept;

// Releases a response from any of the functions here (quorvix_free_v1 does
// this); null is ignored.
void release_response(char* response) noexcept;

// A response buffer, released with release_response.
struct FreeResponse {
  void operator()(char* response) const noexcept { release_response(response); }
};
using ResponseText = std::unique_ptr<char, FreeResponse>;

// The same response for an equation whose compound file goes straight into
// it as hex digits. Not noexcept: a layout that breaks its own invariants
// throws InternalError, and the buffer is released on the way out; a buffer
// that cannot be allocated throws std::bad_alloc.
ResponseText serialize_framed_result(const conversion::FramedEquation& equation);

// {"error":<message>}
char* serialize_error(std::string_view message) noexcept;

// Makes the next `count` response allocations fail, so that tests can show
// what a host gets out of memory. An internal symbol of the core library,
// like the fault hook: the shared library does not export it.
void fail_response_allocations(unsigned count) noexcept;

}  // namespace quorvix::ffi
