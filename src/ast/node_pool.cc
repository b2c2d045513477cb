#include "ast/node_pool.h"

namespace quorvix::ast::node_pool {

constinit thread_local detail::Cache detail::tl_cache{};

namespace {

// Constructed on a thread the first time it caches a block; its destructor,
// run as the thread ends, gives the cached blocks back and closes the cache.
struct ReleaseAtThreadExit {
  ReleaseAtThreadExit() = default;
  ReleaseAtThreadExit(const ReleaseAtThreadExit&) = delete;
  ReleaseAtThreadExit& operator=(const ReleaseAtThreadExit&) = delete;
  ~ReleaseAtThreadExit() {
    release_cached_blocks();
    detail::tl_cache.closed = true;
  }
};

}  // namespace

void detail::register_release() noexcept {
  thread_local ReleaseAtThreadExit release;
  (void)release;
  tl_cache.release_registered = true;
}

void release_cached_blocks() noexcept {
  detail::Cache& cache = detail::tl_cache;
  for (std::size_t c = 0; c < kClassCount; ++c) {
    while (detail::FreeBlock* block = cache.head[c]) {
      detail::unpoison(block, class_bytes(c));
      cache.head[c] = block->next;
      ::operator delete(block);
    }
    cache.count[c] = 0;
  }
}

}  // namespace quorvix::ast::node_pool
