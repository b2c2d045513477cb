#include "allocation_count.h"

#include <cstdlib>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define QUORVIX_TEST_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUORVIX_TEST_SANITIZED 1
#endif

namespace {
thread_local std::uint64_t t_allocations = 0;
}  // namespace

namespace quorvix::parser::testing {

#if defined(QUORVIX_TEST_SANITIZED)
bool allocation_counting_available() { return false; }
#else
bool allocation_counting_available() { return true; }
#endif

std::uint64_t thread_allocation_count() { return t_allocations; }

}  // namespace quorvix::parser::testing

#if !defined(QUORVIX_TEST_SANITIZED)
// The other forms of operator new and delete (arrays, nothrow, sized) end
// in these two.
void* operator new(std::size_t size) {
  ++t_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif
