// Counts the C++ heap allocations of this test program (operator new is
// replaced for the whole binary), so that tests can assert that some work
// allocates nothing.
#pragma once

#include <cstdint>

namespace quorvix::testing {

// Blocks handed out by operator new so far, and blocks still live.
std::uint64_t allocations();
std::int64_t live_blocks();

}  // namespace quorvix::testing
