// Runs a function on a thread with a stack of a chosen size (with a guard
// page below it, so an overflow faults instead of corrupting memory) and
// reports how much of that stack the function used.
#pragma once

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <stdexcept>

namespace quorvix::testing {

namespace detail {

constexpr unsigned char kStackPaint = 0xA5;

inline void* run_function(void* arg) {
  (*static_cast<std::function<void()>*>(arg))();
  return nullptr;
}

// Lowest painted byte that was overwritten; reads memory the sanitizer may
// still consider part of dead stack frames.
__attribute__((no_sanitize("address"))) inline std::size_t untouched_bytes(const volatile unsigned char* low,
                                                                           std::size_t size) {
  std::size_t i = 0;
  while (i < size && low[i] == kStackPaint) ++i;
  return i;
}

}  // namespace detail

// Runs `fn` on a fresh thread whose stack is `stack_size` bytes; returns the
// number of stack bytes it touched (thread descriptor and TLS included).
inline std::size_t run_with_stack(std::size_t stack_size, std::function<void()> fn) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  void* mem = mmap(nullptr, stack_size + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mem == MAP_FAILED) throw std::runtime_error("mmap failed");
  mprotect(mem, page, PROT_NONE);
  auto* stack = static_cast<unsigned char*>(mem) + page;
  std::memset(stack, detail::kStackPaint, stack_size);

  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstack(&attr, stack, stack_size);
  pthread_t thread;
  if (pthread_create(&thread, &attr, detail::run_function, &fn) != 0) {
    pthread_attr_destroy(&attr);
    munmap(mem, stack_size + page);
    throw std::runtime_error("pthread_create failed");
  }
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  const std::size_t used = stack_size - detail::untouched_bytes(stack, stack_size);
  munmap(mem, stack_size + page);
  return used;
}

// The stack the deepest parses must fit. Sanitised builds instrument every
// frame several times over; the budget that matters is the plain build's.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr std::size_t kSmallStack = 8u << 20;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr std::size_t kSmallStack = 8u << 20;
#else
inline constexpr std::size_t kSmallStack = 256 * 1024;
#endif
#else
inline constexpr std::size_t kSmallStack = 256 * 1024;
#endif

}  // namespace quorvix::testing
