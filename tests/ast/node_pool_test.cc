// The per-thread cache of tree blocks: blocks are reused by size class, the
// cache stays within its bound, and no block outlives its last owner, whatever
// thread frees it and whenever.
#include "ast/node_pool.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <stdexcept>
#include <thread>
#include <vector>

#include "ast/counting_new.h"
#include "ast/expr.h"

namespace quorvix::ast {
namespace {

std::size_t cached_total() {
  std::size_t total = 0;
  for (std::uint16_t n : node_pool::cached_blocks()) total += n;
  return total;
}

TEST(NodePoolTest, AFreedBlockServesEveryRequestOfItsClass) {
  struct Case {
    std::size_t freed;
    std::size_t requested;
    bool reused;
  };
  const Case cases[] = {
      {1, 64, true},         {64, 1, true},         {64, 65, false},     {65, 128, true},
      {128, 129, false},     {200, 256, true},      {256, 300, false},   {300, 512, true},
      {512, 64, false},      {512, 513, false},     {513, 1024, true},   {1024, 1025, false},
      {3000, 4096, true},    {4096, 2048, false},   {4096, 4097, false}, {9000, 16384, true},
      {16384, 16385, false}, {16385, 16385, false},
  };
  for (const Case& c : cases) {
    node_pool::release_cached_blocks();
    void* freed = node_pool::allocate(c.freed);
    node_pool::deallocate(freed, c.freed);
    const std::uint64_t before = testing::allocations();
    void* again = node_pool::allocate(c.requested);
    const std::uint64_t allocated = testing::allocations() - before;
    // The allocator may hand back the same address; only the pool's own
    // reuse spares the allocation.
    if (c.reused) {
      EXPECT_EQ(again, freed) << c.freed << " then " << c.requested;
    }
    EXPECT_EQ(allocated, c.reused ? 0U : 1U) << c.freed << " then " << c.requested;
    node_pool::deallocate(again, c.requested);
  }
  node_pool::release_cached_blocks();
}

TEST(NodePoolTest, TheCacheStopsAtItsBoundAndReleasesEverything) {
  node_pool::release_cached_blocks();
  std::vector<void*> blocks;
  blocks.reserve(1024);
  const std::int64_t live_before = testing::live_blocks();
  for (std::size_t c = 0; c < node_pool::kClassCount; ++c) {
    const std::size_t bytes = node_pool::class_bytes(c);
    blocks.clear();
    for (std::size_t i = 0; i < node_pool::kMaxCachedBlocks[c] + 10U; ++i)
      blocks.push_back(node_pool::allocate(bytes));
    for (void* b : blocks) node_pool::deallocate(b, bytes);
    const std::int64_t live = testing::live_blocks() - live_before;
    EXPECT_EQ(node_pool::cached_blocks()[c], node_pool::kMaxCachedBlocks[c]) << bytes;
    EXPECT_EQ(live, static_cast<std::int64_t>(cached_total())) << bytes;
  }
  node_pool::release_cached_blocks();
  EXPECT_EQ(cached_total(), 0U);
  EXPECT_EQ(testing::live_blocks(), live_before);
}

// A formula-sized tree: its lists stay within the largest class.
TEST(NodePoolTest, ASecondTreeOfTheSameShapeAllocatesNothing) {
  auto build = [] {
    ExprList items;
    for (int i = 0; i < 8; ++i) items.push_back(Script{box(make_char(U'x')), box(make_char(U'2')), nullptr});
    return make_sequence(std::move(items));
  };
  node_pool::release_cached_blocks();
  (void)build();
  const std::uint64_t before = testing::allocations();
  const Expr second = build();
  EXPECT_EQ(testing::allocations(), before);
  EXPECT_EQ(second.as<Sequence>().items.size(), 8U);
}

// A tree made on this thread and dropped on others, each of which ends
// after caching the blocks it freed: every block is given back.
TEST(NodePoolTest, BlocksFreedOnOtherThreadsAreReleasedWhenThoseThreadsEnd) {
  node_pool::release_cached_blocks();
  const std::int64_t live_before = testing::live_blocks();
  {
    std::vector<Expr> trees;
    for (int t = 0; t < 3; ++t) {
      ExprList items;
      for (int i = 0; i < 50; ++i) items.push_back(Fraction{box(make_char(U'a')), box(make_char(U'b'))});
      trees.push_back(make_sequence(std::move(items)));
    }
    std::vector<std::thread> threads;
    for (Expr& tree : trees) {
      threads.emplace_back([dropped = std::move(tree)]() mutable {
        dropped = Expr();
        EXPECT_GT(cached_total(), 0U);
      });
    }
    for (std::thread& t : threads) t.join();
  }
  // What this thread cached while building the lists is its own.
  node_pool::release_cached_blocks();
  EXPECT_EQ(testing::live_blocks(), live_before);
}

// A thread-local owner made before the thread first caches a block is
// destroyed after the cache has been released, so its blocks reach a closed
// cache; they must go back to the allocator rather than into a cache nobody
// releases.
struct HeldUntilThreadExit {
  Box held = box(make_text("a text long enough to need its own heap block"));
};

TEST(NodePoolTest, BlocksFreedAfterTheThreadsCacheIsReleasedAreNotLost) {
  const std::int64_t live_before = testing::live_blocks();
  std::thread([] {
    thread_local HeldUntilThreadExit owner;
    ASSERT_TRUE(owner.held);
    Box dropped = box(make_char(U'y'));
    dropped.reset();  // the thread's first cached block
    EXPECT_EQ(cached_total(), 1U);
  }).join();
  EXPECT_EQ(testing::live_blocks(), live_before);
}

// Pooled working objects: built once, destroyed once, their block back in
// the cache for the next, also when the constructor throws.
TEST(NodePoolTest, PooledObjectsAreBuiltAndDestroyedInCachedBlocks) {
  struct Tracked {
    explicit Tracked(int& live, bool fail = false) : live_(live) {
      if (fail) throw std::runtime_error("refused");
      ++live_;
    }
    Tracked(const Tracked&) = delete;
    Tracked& operator=(const Tracked&) = delete;
    ~Tracked() { --live_; }
    int& live_;
    char payload[150] = {};
  };
  node_pool::release_cached_blocks();
  int live = 0;
  void* first = nullptr;
  {
    const node_pool::PooledPtr<Tracked> a = node_pool::make_pooled<Tracked>(live);
    first = a.get();
    EXPECT_EQ(live, 1);
  }
  EXPECT_EQ(live, 0);
  EXPECT_EQ(cached_total(), 1U);
  const std::uint64_t before = testing::allocations();
  {
    const node_pool::PooledPtr<Tracked> b = node_pool::make_pooled<Tracked>(live);
    EXPECT_EQ(static_cast<void*>(b.get()), first);
  }
  EXPECT_EQ(testing::allocations() - before, 0U);
  // The exception's message is an allocation of its own, so only the cache
  // is looked at here.
  EXPECT_THROW((void)node_pool::make_pooled<Tracked>(live, true), std::runtime_error);
  EXPECT_EQ(live, 0);
  EXPECT_EQ(cached_total(), 1U);
  node_pool::release_cached_blocks();
}

}  // namespace
}  // namespace quorvix::ast
