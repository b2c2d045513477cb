// Counts the heap allocations (operator new) made on the calling thread, so
// that a test can check that a cost grows linearly. The count is replaced
// in this test executable only, and not in sanitised builds, whose runtime
// provides its own operator new.
#pragma once

#include <cstdint>

namespace quorvix::parser::testing {

// False when the count is not kept (sanitised builds).
bool allocation_counting_available();
// Allocations made by this thread so far.
std::uint64_t thread_allocation_count();

}  // namespace quorvix::parser::testing
