// Conversions through the exported C function, answered as text.
#pragma once

#include <string>

#include "quorvix.h"

namespace quorvix::test_support {

// The response's text; the response itself is freed.
inline std::string take_response(char* response) {
  std::string text = response;
  quorvix_free_v1(response);
  return text;
}

inline std::string respond(const char* request) { return take_response(quorvix_convert_v1(request)); }
inline std::string respond(const std::string& request) { return respond(request.c_str()); }

}  // namespace quorvix::test_support
