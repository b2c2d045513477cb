// What every expression-writer operation returns, and the size level it
// receives and reports.
#pragma once

#include <cstdint>

#include "common/result.h"

namespace quorvix::qvf {

// The size level selected where a writer writes. The record selecting level
// n is the single byte 10 + n (FULL, SUB, SUB2).
enum class SizeLevel : std::uint8_t {
  Full = 0,
  Subscript = 1,
  SubSubscript = 2,
};

struct WriteOutcome {
  bool black_in_force = false;             // the colour flag: COLOR 1 is known to be in force
  SizeLevel size_after = SizeLevel::Full;  // the level the written records left selected
};

using WriteResult = Result<WriteOutcome>;

}  // namespace quorvix::qvf
