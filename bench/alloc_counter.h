// Counts heap allocations made anywhere in the benchmark process (C++ and C
// alike), so that a benchmark can report allocations per conversion.
#pragma once

#include <cstdint>

namespace quorvix::bench {

// False when the count is unavailable (sanitizer builds, non-glibc systems).
bool allocation_counting_available();

// Allocations (malloc, calloc, realloc, aligned forms) so far, all threads.
std::uint64_t allocation_count();

}  // namespace quorvix::bench
