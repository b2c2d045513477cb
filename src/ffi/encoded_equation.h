// The record of one finished conversion.
#pragma once

#include <cstddef>
#include <string>

#include "common/bytes.h"
#include "ole/compound_file.h"
#include "qvf/stream/equation_native.h"

namespace quorvix::conversion {

// What one successful conversion produced; owned by the entry for the
// duration of the call and serialised into the response.
struct EncodedEquation {
  std::string normalized_latex;  // the TeX text exactly as it was parsed (UTF-8)
  Bytes qvf;                     // the QVF stream, without the "Equation Native" framing
  Bytes ole;                     // the complete compound file
};

// The same conversion before its compound file is written out: the C entry
// writes the file straight into its response as hex digits, so it never
// needs the file's bytes.
struct FramedEquation {
  std::string normalized_latex;               // as in EncodedEquation
  Bytes qvf;                                  // as in EncodedEquation
  qvf::EquationNativeHeader native_header{};  // frames `qvf` as "Equation Native"
  ole::HexFilePlan ole;                       // the compound file around the framed stream, laid out
};

}  // namespace quorvix::conversion
