// The batch summary and the progress line.
#include <gtest/gtest.h>

#include <string>

#include "quorvix/batch_progress.h"
#include "quorvix/batch_summary.h"

namespace quorvix::tools {
namespace {

BatchOutcome failed(const std::string& message) { return {"", message, false}; }
BatchOutcome converted(bool raw) { return {"", std::nullopt, raw}; }

TEST(BatchSummary, CountsAndRanksTheFailures) {
  BatchSummary summary;
  // Seven messages: counts 4, 3, 3, 2, 1, 1, 1; the ties go in message order.
  const std::vector<std::pair<std::string, int>> messages = {{"g", 1}, {"c", 3}, {"a", 4}, {"f", 1},
                                                             {"b", 3}, {"d", 2}, {"e", 1}};
  for (const auto& [message, count] : messages) {
    for (int i = 0; i < count; ++i) summary.add(failed(message));
  }
  for (const bool raw : {true, false, true}) summary.add(converted(raw));

  EXPECT_EQ(summary.total(), 18u);
  EXPECT_EQ(summary.converted(), 3u);
  EXPECT_EQ(summary.failed(), 15u);
  EXPECT_EQ(summary.keeps_raw_tex(), 2u);
  const std::vector<std::pair<std::string, std::size_t>> top = {
      {"a", 4}, {"b", 3}, {"c", 3}, {"d", 2}, {"e", 1}};
  EXPECT_EQ(summary.top_errors(), top);
  EXPECT_EQ(summary.top_errors(2).size(), 2u);

  const nlohmann::json json = summary.json(2.0, 3);
  EXPECT_EQ(json["total"], 18);
  EXPECT_EQ(json["keeps_raw_tex"], 2);
  EXPECT_EQ(json["top_errors"].size(), 5u);
  EXPECT_EQ(json["top_errors"][1], (nlohmann::json{{"message", "b"}, {"count", 3}}));
  EXPECT_DOUBLE_EQ(json["items_per_second"].get<double>(), 9.0);

  EXPECT_EQ(summary.text(2.0, 3),
            "items: 18 (2.00 s, 9.0 items/s, 3 jobs)\n"
            "converted: 3, of which 2 keep raw TeX\n"
            "failed: 15\n"
            "  4  a\n  3  b\n  3  c\n  2  d\n  1  e\n");
}

TEST(BatchProgress, ShowsDoneRateAndTimeLeft) {
  EXPECT_EQ(render_progress(30, 120, 2.0), "[#######-----------------------] 30/120  15.0/s  0:06 left");
  EXPECT_EQ(render_progress(120, 120, 4.0), "[##############################] 120/120  30.0/s  0:00 left");
  EXPECT_EQ(render_progress(0, 120, 0.0), "[------------------------------] 0/120");
  EXPECT_EQ(render_progress(50, std::nullopt, 2.0), "50 items  25.0/s");
  EXPECT_EQ(render_progress(1, 1000, 100.0), "[------------------------------] 1/1000  0.0/s  1665:00 left");
}

}  // namespace
}  // namespace quorvix::tools
