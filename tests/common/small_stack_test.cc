// The work-list stack against std::vector used as a stack, across the point
// where it moves from its inline part to the heap and back.
#include "common/small_stack.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quorvix {
namespace {

TEST(SmallStackTest, PopsInReverseOrderOfPushesAcrossTheInlinePart) {
  for (const std::size_t count : {0u, 1u, 3u, 4u, 5u, 9u, 40u}) {
    SCOPED_TRACE(count);
    SmallStack<int, 4> stack;
    for (std::size_t i = 0; i < count; ++i) stack.push(static_cast<int>(i));
    for (std::size_t i = count; i-- > 0;) {
      ASSERT_FALSE(stack.empty());
      EXPECT_EQ(stack.top(), static_cast<int>(i));
      EXPECT_EQ(stack.pop(), static_cast<int>(i));
    }
    EXPECT_TRUE(stack.empty());
  }
}

// Random pushes and pops, the way a tree walk interleaves them.
TEST(SmallStackTest, BehavesAsAVectorStackUnderMixedUse) {
  std::mt19937 random(7);
  SmallStack<unsigned, 3> stack;
  std::vector<unsigned> model;
  for (unsigned step = 0; step < 5000; ++step) {
    const bool push = model.empty() || random() % 5 < 3;
    if (push) {
      stack.push(step);
      model.push_back(step);
    } else {
      ASSERT_EQ(stack.top(), model.back()) << "step " << step;
      ASSERT_EQ(stack.pop(), model.back()) << "step " << step;
      model.pop_back();
    }
    ASSERT_EQ(stack.empty(), model.empty()) << "step " << step;
  }
}

TEST(SmallStackTest, StartsWithTheFirstEntry) {
  const int value = 42;
  SmallStack<const int*> stack(&value);
  ASSERT_FALSE(stack.empty());
  EXPECT_EQ(stack.pop(), &value);
  EXPECT_TRUE(stack.empty());
}

}  // namespace
}  // namespace quorvix
