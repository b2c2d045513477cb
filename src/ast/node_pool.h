// Memory for the blocks of expression trees, cached per thread.
//
// A tree is a few dozen small heap blocks: one per boxed child and one per
// list buffer, all of a handful of sizes. A conversion builds one tree and
// drops it, and the next conversion on the thread builds another of much the
// same shape, so each thread keeps the blocks it freed, sorted by size class,
// and hands them out again before asking the allocator.
//
// Every block is an allocation of its own, so a block may be freed on any
// thread and outlive the cache of the thread that made it: it simply joins
// the cache of the thread that frees it, or goes back to the allocator. A
// class caches a bounded number of blocks, so a thread holds at most
// kMaxCachedBytes between conversions whatever it once converted; a thread's
// blocks are released when the thread ends. Requests larger than the largest
// class go to the allocator directly.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#define QUORVIX_NODE_POOL_POISON 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVIX_NODE_POOL_POISON 1
#endif
#endif

#if defined(QUORVIX_NODE_POOL_POISON)
#include <sanitizer/asan_interface.h>
#endif

namespace quorvix::ast::node_pool {

// The size classes: 64 bytes to 16 KB, doubling. Single nodes take the
// smallest; list buffers, which grow by doubling, the others: the large ones
// hold the items of long sequences and environment rows, the largest the
// outermost list of a text of up to 256 characters, which is reserved whole.
inline constexpr std::size_t kSmallestClassBytes = 64;
inline constexpr std::size_t kClassCount = 9;
inline constexpr std::size_t kLargestClassBytes = kSmallestClassBytes << (kClassCount - 1);
// How many free blocks each class keeps: 32 KB of the smallest class (single
// nodes), 16 KB of each of the next three, 8 KB of each of the next four and
// one block of the largest: a long formula needs only a few large blocks.
inline constexpr std::array<std::uint16_t, kClassCount> kMaxCachedBlocks = {512, 128, 64, 32, 8, 4, 2, 1, 1};

constexpr std::size_t max_cached_bytes() {
  std::size_t bytes = 0;
  for (std::size_t c = 0; c < kClassCount; ++c) bytes += kMaxCachedBlocks[c] * (kSmallestClassBytes << c);
  return bytes;
}
inline constexpr std::size_t kMaxCachedBytes = max_cached_bytes();

// The class of a request of `bytes` (up to kLargestClassBytes): the number of
// doublings of the smallest class it takes to hold them.
constexpr std::size_t class_of(std::size_t bytes) {
  return bytes <= kSmallestClassBytes
             ? 0
             : static_cast<std::size_t>(std::bit_width((bytes - 1) / kSmallestClassBytes));
}

constexpr std::size_t class_bytes(std::size_t c) { return kSmallestClassBytes << c; }

static_assert(class_of(0) == 0 && class_of(1) == 0 && class_of(64) == 0 && class_of(65) == 1 &&
              class_of(128) == 1 && class_of(129) == 2 && class_of(256) == 2 && class_of(257) == 3 &&
              class_of(512) == 3 && class_of(513) == 4 && class_of(4096) == 6 && class_of(16384) == 8 &&
              kLargestClassBytes == 16384);

namespace detail {

struct FreeBlock {
  FreeBlock* next;
};

// The per-thread state. It is constant-initialised and trivially destructible,
// so reaching it costs no guard, and it is still readable after the thread's
// destructors have run: `closed` is set then, and later frees on the thread go
// straight to the allocator.
struct Cache {
  std::array<FreeBlock*, kClassCount> head{};
  std::array<std::uint16_t, kClassCount> count{};
  std::uint64_t blocks_made = 0;  // every block allocate() has handed out
  bool release_registered = false;
  bool closed = false;
};

extern constinit thread_local Cache tl_cache;

// Arranges for the thread's cached blocks to be released when it ends.
void register_release() noexcept;

inline void poison(void* p, std::size_t bytes) noexcept {
#if defined(QUORVIX_NODE_POOL_POISON)
  ASAN_POISON_MEMORY_REGION(p, bytes);
#else
  (void)p;
  (void)bytes;
#endif
}

inline void unpoison(void* p, std::size_t bytes) noexcept {
#if defined(QUORVIX_NODE_POOL_POISON)
  ASAN_UNPOISON_MEMORY_REGION(p, bytes);
#else
  (void)p;
  (void)bytes;
#endif
}

}  // namespace detail

// A block of at least `bytes` bytes, aligned for any node; throws
// std::bad_alloc like operator new.
inline void* allocate(std::size_t bytes) {
  detail::Cache& cache = detail::tl_cache;
  ++cache.blocks_made;
  if (bytes > kLargestClassBytes) return ::operator new(bytes);
  const std::size_t c = class_of(bytes);
  if (detail::FreeBlock* block = cache.head[c]) {
    detail::unpoison(block, class_bytes(c));
    cache.head[c] = block->next;
    --cache.count[c];
    return block;
  }
  return ::operator new(class_bytes(c));
}

// Frees a block that allocate(`bytes`) returned, on any thread.
inline void deallocate(void* p, std::size_t bytes) noexcept {
  if (bytes > kLargestClassBytes) {
    ::operator delete(p);
    return;
  }
  const std::size_t c = class_of(bytes);
  detail::Cache& cache = detail::tl_cache;
  if (cache.count[c] >= kMaxCachedBlocks[c] || cache.closed) {
    ::operator delete(p);
    return;
  }
  if (!cache.release_registered) detail::register_release();
  auto* block = static_cast<detail::FreeBlock*>(p);
  block->next = cache.head[c];
  cache.head[c] = block;
  ++cache.count[c];
  detail::poison(block, class_bytes(c));
}

// A count that grows with every block handed out on this thread, cached or
// not. Every child in a tree sits in a block of its own parent's (a box or a
// list's buffer), so a tree built while the count grew by n is at most n + 1
// levels deep.
inline std::uint64_t blocks_made() noexcept { return detail::tl_cache.blocks_made; }

// The blocks this thread holds now, per class (for tests).
inline std::array<std::uint16_t, kClassCount> cached_blocks() noexcept { return detail::tl_cache.count; }

// Releases this thread's cached blocks to the allocator.
void release_cached_blocks() noexcept;

// A standard allocator over the pool, for the lists of a tree.
template <class T>
struct NodeAllocator {
  using value_type = T;

  NodeAllocator() noexcept = default;
  template <class U>
  NodeAllocator(const NodeAllocator<U>&) noexcept {}  // NOLINT: rebinding is implicit by design

  T* allocate(std::size_t n) {
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "blocks have the default alignment");
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(node_pool::allocate(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { node_pool::deallocate(p, n * sizeof(T)); }

  template <class U>
  bool operator==(const NodeAllocator<U>&) const noexcept {
    return true;
  }
};

// Destroys and frees an object that make_pooled made.
template <class T>
struct PooledDelete {
  void operator()(T* p) const noexcept {
    p->~T();
    deallocate(p, sizeof(T));
  }
};

// An object kept in a pooled block, for the working state that a parse
// keeps off the machine stack once per nesting level: it would otherwise
// cost an allocation for each text, row set or grid read.
template <class T>
using PooledPtr = std::unique_ptr<T, PooledDelete<T>>;

template <class T, class... Args>
PooledPtr<T> make_pooled(Args&&... args) {
  static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "blocks have the default alignment");
  void* block = allocate(sizeof(T));
  try {
    return PooledPtr<T>(::new (block) T(std::forward<Args>(args)...));
  } catch (...) {
    deallocate(block, sizeof(T));
    throw;
  }
}

}  // namespace quorvix::ast::node_pool
