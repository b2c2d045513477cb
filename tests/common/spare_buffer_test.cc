// The per-thread buffer slots: what comes back out, what is kept and what
// is released, and that threads do not share a slot.
#include "common/spare_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>

namespace quorvix {
namespace {

// Each test uses slots of its own, so the order the tests run in is irrelevant.
struct ReuseTag;
struct BoundTag;
struct SmallerTag;
struct ThreadTag;
struct ShortStringTag;
struct LateTag;

TEST(SpareBufferTest, AGivenBackBufferComesBackEmptyWithItsMemory) {
  using Spare = SpareBuffer<std::string, ReuseTag>;
  std::string first = Spare::take();
  EXPECT_TRUE(first.empty());
  first.assign(300, 'x');
  const char* const memory = first.data();
  Spare::give_back(first);
  EXPECT_TRUE(first.empty());

  std::string second = Spare::take();
  EXPECT_TRUE(second.empty());
  EXPECT_EQ(second.data(), memory);
  EXPECT_GE(second.capacity(), 300u);
  // The slot is empty while its buffer is out: another take() gets memory
  // of its own.
  std::string third = Spare::take();
  EXPECT_NE(third.data(), memory);
  Spare::give_back(third);
  Spare::give_back(second);
}

// Strings are handed out with memory of their own even when empty, so that
// moving a short one hands its memory over instead of copying its text.
TEST(SpareBufferTest, StringsComeOutWithMemoryOfTheirOwn) {
  using Spare = SpareBuffer<std::string, ShortStringTag>;
  std::string first = Spare::take();
  EXPECT_TRUE(first.empty());
  EXPECT_GE(first.capacity(), kMinimumStringCapacity);
  first = "x^2";
  const char* const memory = first.data();
  std::string moved = std::move(first);
  EXPECT_EQ(moved.data(), memory);
  Spare::give_back(moved);
  EXPECT_EQ(Spare::take().data(), memory);
}

TEST(SpareBufferTest, BuffersPastTheBoundAreReleased) {
  using Spare = SpareBuffer<Bytes, BoundTag>;
  Bytes at_bound(kMaxKeptBytes);
  Spare::give_back(at_bound);
  EXPECT_EQ(Spare::kept_capacity(), kMaxKeptBytes);
  Bytes taken = Spare::take();
  EXPECT_EQ(taken.capacity(), kMaxKeptBytes);

  Bytes past_bound(kMaxKeptBytes + 1);
  Spare::give_back(past_bound);
  EXPECT_EQ(past_bound.capacity(), 0u);
  EXPECT_EQ(Spare::kept_capacity(), 0u);
  Spare::give_back(taken);
}

TEST(SpareBufferTest, TheLargerBufferIsKept) {
  using Spare = SpareBuffer<Bytes, SmallerTag>;
  Bytes large(1000);
  Bytes small(10);
  Spare::give_back(large);
  Spare::give_back(small);
  EXPECT_EQ(Spare::kept_capacity(), 1000u);
  EXPECT_EQ(small.capacity(), 0u);

  Bytes larger(2000);
  Spare::give_back(larger);
  EXPECT_EQ(Spare::kept_capacity(), 2000u);
  EXPECT_EQ(larger.capacity(), 0u);
}

TEST(SpareBufferTest, EachThreadHasItsOwnSlot) {
  using Spare = SpareBuffer<Bytes, ThreadTag>;
  Bytes mine(500);
  Spare::give_back(mine);
  std::size_t seen_elsewhere = 1;
  std::thread other([&] {
    seen_elsewhere = Spare::kept_capacity();
    Bytes theirs(700);
    Spare::give_back(theirs);
  });
  other.join();
  EXPECT_EQ(seen_elsewhere, 0u);
  EXPECT_EQ(Spare::kept_capacity(), 500u);
}

// A thread-local object made before the thread's first use of a slot is
// destroyed after the slot's buffer. A conversion run from its destructor
// still takes and gives back buffers: it gets new ones, and what it gives
// back is released, not kept in a slot that is gone.
struct LateUser {
  using Spare = SpareBuffer<Bytes, LateTag>;
  std::size_t* kept_after_close = nullptr;
  std::size_t* taken_capacity = nullptr;
  ~LateUser() {
    Bytes taken = Spare::take();
    *taken_capacity = taken.capacity();
    taken.resize(400);
    Spare::give_back(taken);
    *kept_after_close = Spare::kept_capacity();
  }
};

TEST(SpareBufferTest, ASlotUsedAfterItsThreadEndedKeepsNothing) {
  using Spare = SpareBuffer<Bytes, LateTag>;
  std::size_t kept_before_end = 0;
  std::size_t kept_after_close = 1;
  std::size_t taken_capacity = 1;
  std::thread worker([&] {
    thread_local LateUser late;
    late.kept_after_close = &kept_after_close;
    late.taken_capacity = &taken_capacity;
    Bytes first(300);
    Spare::give_back(first);
    kept_before_end = Spare::kept_capacity();
  });
  worker.join();
  EXPECT_EQ(kept_before_end, 300u);
  EXPECT_EQ(taken_capacity, 0u);
  EXPECT_EQ(kept_after_close, 0u);
}

}  // namespace
}  // namespace quorvix
