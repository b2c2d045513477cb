// The tally of a batch: converted and failed items, the most common failure
// messages, and how many converted equations keep part of their TeX verbatim.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "quorvix/batch_pool.h"

namespace quorvix::tools {

class BatchSummary {
 public:
  void add(const BatchOutcome& outcome);

  std::size_t total() const { return converted_ + failed_; }
  std::size_t converted() const { return converted_; }
  std::size_t failed() const { return failed_; }
  std::size_t keeps_raw_tex() const { return keeps_raw_tex_; }

  // The `limit` most common failure messages with their counts, the most
  // common first; equal counts in message order.
  std::vector<std::pair<std::string, std::size_t>> top_errors(std::size_t limit = 5) const;

  // The summary for people, several lines ending in a line break.
  std::string text(double seconds, unsigned jobs) const;
  // The same as JSON: total, converted, failed, keeps_raw_tex, top_errors
  // ([{"message", "count"}]), jobs, seconds and items_per_second.
  nlohmann::json json(double seconds, unsigned jobs) const;

 private:
  std::size_t converted_ = 0;
  std::size_t failed_ = 0;
  std::size_t keeps_raw_tex_ = 0;
  std::unordered_map<std::string, std::size_t> errors_;
};

}  // namespace quorvix::tools
