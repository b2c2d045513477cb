// The counter replaces the C allocation functions of this executable and
// forwards to glibc's own implementations. Every C++ operator new ends in
// malloc, so one hook sees the library's C++ allocations, the C response
// buffer and anything the encoding library allocates.
#include "alloc_counter.h"

#include <atomic>
#include <cerrno>
#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define QUORVIX_BENCH_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUORVIX_BENCH_SANITIZED 1
#endif

#if defined(__GLIBC__) && !defined(QUORVIX_BENCH_SANITIZED)
#define QUORVIX_BENCH_COUNT_ALLOCATIONS 1
#endif

namespace {
std::atomic<std::uint64_t> g_allocations{0};
#if defined(QUORVIX_BENCH_COUNT_ALLOCATIONS)
inline void count_one() { g_allocations.fetch_add(1, std::memory_order_relaxed); }
#endif
}  // namespace

namespace quorvix::bench {

#if defined(QUORVIX_BENCH_COUNT_ALLOCATIONS)
bool allocation_counting_available() { return true; }
#else
bool allocation_counting_available() { return false; }
#endif

std::uint64_t allocation_count() { return g_allocations.load(std::memory_order_relaxed); }

}  // namespace quorvix::bench

#if defined(QUORVIX_BENCH_COUNT_ALLOCATIONS)
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* p);

void* malloc(std::size_t size) noexcept {
  count_one();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
  count_one();
  return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) noexcept {
  count_one();
  return __libc_realloc(p, size);
}
void free(void* p) noexcept { __libc_free(p); }
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  count_one();
  return __libc_memalign(alignment, size);
}
void* memalign(std::size_t alignment, std::size_t size) noexcept {
  count_one();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  count_one();
  void* p = __libc_memalign(alignment, size);
  if (p == nullptr) return ENOMEM;
  *out = p;
  return 0;
}
}
#endif
