#include "ffi/guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "common/internal_error.h"
#include "common/result.h"

namespace quorvix::ffi {
namespace {

TEST(GuardTest, PassesResultsThrough) {
  auto value = run_guarded([] { return Result<int>(42); });
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(**value, 42);

  auto failure = run_guarded([] { return Result<int>(make_error("expression is nested too deeply")); });
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->error().message, "expression is nested too deeply");
}

TEST(GuardTest, AnyExceptionBecomesPanic) {
  EXPECT_FALSE(run_guarded([]() -> Result<int> { internal_failure("broken invariant"); }));
  EXPECT_FALSE(run_guarded([]() -> Result<int> { throw std::bad_alloc(); }));
  EXPECT_FALSE(run_guarded([]() -> Result<int> { throw std::out_of_range("index"); }));
  EXPECT_FALSE(run_guarded([]() -> Result<int> { throw 7; }));
  // Partial results built before the throw are released by the unwinding.
  EXPECT_FALSE(run_guarded([]() -> Result<std::string> {
    std::string partial(1000, 'x');
    internal_failure(partial);
  }));
  EXPECT_EQ(kPanicMessage, "native converter panicked");
}

}  // namespace
}  // namespace quorvix::ffi
