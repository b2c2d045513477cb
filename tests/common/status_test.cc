// A status keeps its error through copies, moves and assignments, and each
// copy owns its error: changing or dropping one leaves the others as they were.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "common/result.h"

namespace quorvix {
namespace {

Status failed(std::string message, bool fatal = false) { return Error{std::move(message), fatal}; }

TEST(StatusTest, CopiesAndMovesKeepTheirOwnError) {
  const Status ok;
  EXPECT_TRUE(ok.ok());
  EXPECT_TRUE(Status(ok).ok());

  Status original = failed("first failure", true);
  Status copy(original);
  ASSERT_FALSE(copy.ok());
  EXPECT_EQ(copy.error().message, "first failure");
  EXPECT_TRUE(copy.error().fatal);

  // Taking the error out of the copy leaves the original's intact.
  const Error taken = std::move(copy).error();
  EXPECT_EQ(taken.message, "first failure");
  EXPECT_EQ(original.error().message, "first failure");

  Status assigned;
  assigned = original;
  original = failed("second failure");
  EXPECT_EQ(assigned.error().message, "first failure");
  EXPECT_EQ(original.error().message, "second failure");
  EXPECT_FALSE(original.error().fatal);

  // Assigning success over a failure, and a status to itself.
  assigned = ok;
  EXPECT_TRUE(assigned.ok());
  Status& self = original;
  original = self;
  EXPECT_EQ(original.error().message, "second failure");

  Status moved(std::move(original));
  EXPECT_EQ(moved.error().message, "second failure");
  Status target = failed("overwritten");
  target = std::move(moved);
  EXPECT_EQ(target.error().message, "second failure");
}

// The propagation helper hands a failure on unchanged and lets success through.
Status first_failing(bool fail_first, bool fail_second, int& reached) {
  QV_RETURN_IF_ERROR(fail_first ? failed("one") : Status());
  ++reached;
  QV_RETURN_IF_ERROR(fail_second ? failed("two") : Status());
  ++reached;
  return {};
}

TEST(StatusTest, ReturnIfErrorStopsAtTheFirstFailure) {
  struct Case {
    bool fail_first, fail_second;
    const char* message;  // null for success
    int reached;
  };
  const Case cases[] = {
      {false, false, nullptr, 2},
      {true, false, "one", 0},
      {false, true, "two", 1},
      {true, true, "one", 0},
  };
  for (const Case& c : cases) {
    int reached = 0;
    const Status s = first_failing(c.fail_first, c.fail_second, reached);
    EXPECT_EQ(reached, c.reached);
    if (c.message == nullptr) {
      EXPECT_TRUE(s.ok());
    } else {
      ASSERT_FALSE(s.ok());
      EXPECT_EQ(s.error().message, c.message);
    }
  }
}

}  // namespace
}  // namespace quorvix
