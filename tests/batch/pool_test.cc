// The worker pool: every outcome once, in input order, within the window.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "quorvix/batch_pool.h"

namespace quorvix::tools {
namespace {

TEST(BatchPool, EmitsEveryOutcomeInInputOrderWithinTheWindow) {
  for (const unsigned jobs : {1u, 2u, 3u, 8u}) {
    for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{500}}) {
      SCOPED_TRACE("jobs " + std::to_string(jobs) + ", items " + std::to_string(count));
      std::size_t read = 0;
      std::atomic<std::size_t> emitted{0};
      std::atomic<std::size_t> widest{0};
      std::vector<std::string> lines;
      PoolCallbacks callbacks{
          [&]() -> std::optional<BatchItem> {
            if (read == count) return std::nullopt;
            widest = std::max<std::size_t>(widest, read - emitted);
            BatchItem item;
            item.line = ++read;
            return item;
          },
          [](const BatchItem& item) {
            // Uneven work, so that later items often finish first.
            if (item.line % 7 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
            return BatchOutcome{std::to_string(item.line), std::nullopt, false};
          },
          [&](BatchOutcome&& outcome) {
            lines.push_back(std::move(outcome.line));
            ++emitted;
          },
      };
      run_ordered_pool(jobs, callbacks);
      ASSERT_EQ(lines.size(), count);
      for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(lines[i], std::to_string(i + 1));
      EXPECT_LE(widest.load(), pool_window(jobs));
    }
  }
}

}  // namespace
}  // namespace quorvix::tools
