// The conversion stages of one request, in order.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "ffi/encoded_equation.h"

namespace quorvix::ffi {

// What a conversion can tell about its tree besides the equation itself.
// Filled in only for callers that ask: the C entry does not.
struct ConversionReport {
  // The tree holds verbatim TeX that the equation shows as text
  // (ast::contains_raw_tex), i.e. part of the input was not translated.
  bool keeps_raw_tex = false;
};

// Normalises and parses `latex`, writes the QVF stream (with the definitions
// from `prefs_file` when given), frames it and packages it as a compound file.
// The first failing stage's message is returned unchanged. When `report` is
// given it is filled in from the parsed tree.
Result<conversion::EncodedEquation> convert_latex(std::string_view latex,
                                                  const std::optional<std::string>& prefs_file,
                                                  ConversionReport* report = nullptr);

// Reads the request (see read_request) and converts its "latex" member as
// convert_latex does, up to the compound file: the file is laid out, but its
// bytes are left to the response (serialize_framed_result). The equation is
// written into `equation`; after a failure, what it holds is of no use.
Status convert_request(const char* request, conversion::FramedEquation& equation);

// Hands the memory of a finished equation's buffers to this thread's next
// conversion (see SpareBuffer); `equation` is left empty.
void recycle(conversion::EncodedEquation& equation) noexcept;
void recycle(conversion::FramedEquation& equation) noexcept;

}  // namespace quorvix::ffi
