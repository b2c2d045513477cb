// Reading the conversion request.
#pragma once

#include <optional>
#include <string>

#include "common/result.h"

namespace quorvix::ffi {

// The two members of a request that the conversion uses.
struct Request {
  std::string latex;
  // Present only when the request's "prefs_file" member is a string.
  std::optional<std::string> prefs_file;
};

// Reads a NUL-terminated request: rejects a null pointer, bytes that are not
// UTF-8 and text that is not one JSON value, then takes the top-level "latex"
// (required, a string) and "prefs_file" (used only when a string) members. A
// member given twice takes its last value.
Result<Request> read_request(const char* request);

}  // namespace quorvix::ffi
