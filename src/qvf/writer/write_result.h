// What every expression-writer operation returns.
#pragma once

#include <cstdint>

#include "common/result.h"

namespace quorvix::qvf {

struct WriteOutcome {
  bool black_in_force = false;  // the colour flag: COLOR 1 is known to be in force
  std::uint8_t size_after = 0;  // 0 full, 1 subscript, 2 sub-subscript
};

using WriteResult = Result<WriteOutcome>;

}  // namespace quorvix::qvf
