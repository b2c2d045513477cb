// The record of one finished conversion.
#pragma once

#include <string>

#include "common/bytes.h"

namespace quorvix::conversion {

// What one successful conversion produced; owned by the entry for the
// duration of the call and serialised into the response.
struct EncodedEquation {
  std::string normalized_latex;  // the TeX text exactly as it was parsed (UTF-8)
  Bytes qvf;                     // the QVF stream, without the "Equation Native" framing
  Bytes ole;                     // the complete compound file
};

}  // namespace quorvix::conversion
