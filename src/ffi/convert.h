// The conversion stages of one request, in order.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "ffi/encoded_equation.h"

namespace quorvix::ffi {

// Normalises and parses `latex`, writes the QVF stream (with the definitions
// from `prefs_file` when given), frames it and packages it as a compound file.
// The first failing stage's message is returned unchanged.
Result<conversion::EncodedEquation> convert_latex(std::string_view latex,
                                                  const std::optional<std::string>& prefs_file);

// Reads the request (see read_request) and converts its "latex" member.
Result<conversion::EncodedEquation> convert_request(const char* request);

}  // namespace quorvix::ffi
