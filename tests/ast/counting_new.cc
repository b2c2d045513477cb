// Replaces the global operator new and delete with counting forwarders to
// malloc and free.
#include "ast/counting_new.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::uint64_t> g_allocations{0};
std::atomic<std::int64_t> g_live{0};

void* counted(std::size_t size) noexcept {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p != nullptr) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    g_live.fetch_add(1, std::memory_order_relaxed);
  }
  return p;
}

void* counted_or_throw(std::size_t size) {
  void* p = counted(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void release(void* p) noexcept {
  if (p == nullptr) return;
  g_live.fetch_sub(1, std::memory_order_relaxed);
  std::free(p);
}
}  // namespace

namespace quorvix::testing {
std::uint64_t allocations() { return g_allocations.load(std::memory_order_relaxed); }
std::int64_t live_blocks() { return g_live.load(std::memory_order_relaxed); }
}  // namespace quorvix::testing

void* operator new(std::size_t size) { return counted_or_throw(size); }
void* operator new[](std::size_t size) { return counted_or_throw(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
