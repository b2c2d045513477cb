// The exported conversion function end to end: internal failures injected
// through the fault hook, and what a failing preferences file may reveal.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "common/internal_error.h"
#include "ffi/fault_hook.h"
#include "ffi/response.h"
#include "quorvix.h"
#include "support/respond.h"
#include "support/temp_dir.h"

namespace quorvix::ffi {
namespace {

using test_support::respond;

// Installs a fault hook for one test and removes it again, even when the test fails.
class ScopedFaultHook {
 public:
  explicit ScopedFaultHook(FaultHook hook) { set_fault_hook(hook); }
  ~ScopedFaultHook() { set_fault_hook(nullptr); }
  ScopedFaultHook(const ScopedFaultHook&) = delete;
  ScopedFaultHook& operator=(const ScopedFaultHook&) = delete;
};

constexpr const char* kRequest = R"({"latex":"\\frac{a}{b}"})";
constexpr const char* kPanicked = R"({"error":"native converter panicked"})";

TEST(EntryTest, InternalFailuresAnswerPanicked) {
  const FaultHook hooks[] = {
      +[] { internal_failure("broken invariant"); },
      +[] { throw std::bad_alloc(); },
      +[] { throw std::out_of_range("index"); },
      +[] { throw 7; },
  };
  for (std::size_t i = 0; i < std::size(hooks); ++i) {
    ScopedFaultHook hook(hooks[i]);
    EXPECT_EQ(respond(kRequest), kPanicked) << "hook " << i;
    // Failures of the request itself are never reached: the hook runs first.
    EXPECT_EQ(respond("not json"), kPanicked) << "hook " << i;
  }
}

TEST(EntryTest, HookThatReturnsLeavesTheConversionAlone) {
  const std::string expected = respond(kRequest);
  ASSERT_EQ(expected.rfind(R"({"result":{"ole":")", 0), 0u) << expected;
  {
    ScopedFaultHook hook(+[] {});
    EXPECT_EQ(respond(kRequest), expected);
  }
  {
    ScopedFaultHook hook(+[] { throw std::bad_alloc(); });
    ASSERT_EQ(respond(kRequest), kPanicked);
  }
  // Removing the hook restores normal conversions.
  EXPECT_EQ(respond(kRequest), expected);
}

// Out of memory the host still gets an answer it can free: the failure
// message, and when not even that can be allocated, the same text from
// constant memory, which freeing leaves alone (a sanitised run would report
// freeing it).
TEST(EntryTest, ResponsesThatCannotBeAllocatedAnswerPanicked) {
  const std::string expected = respond(kRequest);
  const struct {
    const char* request;
    unsigned failing;
    bool constant;  // the answer is the constant one
  } cases[] = {
      {kRequest, 1, false},   // the result: the error response is allocated instead
      {kRequest, 2, true},    // the result and the error response
      {"not json", 1, true},  // an error response
      {kRequest, 0, false},   // nothing fails
  };
  for (const auto& c : cases) {
    // Two answers alive at once: only the constant one can be the same memory twice.
    fail_response_allocations(c.failing);
    char* const first = quorvix_convert_v1(c.request);
    fail_response_allocations(c.failing);
    char* const second = quorvix_convert_v1(c.request);
    fail_response_allocations(0);
    const std::string wanted = c.failing == 0 ? expected : std::string(kPanicked);
    EXPECT_EQ(first, wanted) << c.request << ", " << c.failing << " failing";
    EXPECT_EQ(second, wanted) << c.request << ", " << c.failing << " failing";
    EXPECT_EQ(first == second, c.constant) << c.request << ", " << c.failing << " failing";
    quorvix_free_v1(first);
    quorvix_free_v1(second);
  }
  // Every allocation asked to fail has been used up: conversions answer normally.
  EXPECT_EQ(respond(kRequest), expected);
}

// A request may name any readable file as its preferences: unless the file
// has begun like one, the answer says so without quoting it.
TEST(EntryTest, UnrelatedPrefsFileIsNotQuoted) {
  test_support::TempDir dir;
  const std::string path = dir.write("passwd", "root:x:0:0:secret:/root:/bin/bash\ndaemon:x:1:1\n");
  const std::string response = respond(R"({"latex":"x","prefs_file":")" + path + R"("})");
  EXPECT_EQ(response, R"({"error":"failed to parse )" + path + R"(: not a preferences file"})");
  EXPECT_EQ(response.find("secret"), std::string::npos);
}

}  // namespace
}  // namespace quorvix::ffi
