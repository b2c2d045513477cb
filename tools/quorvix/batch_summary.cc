#include "quorvix/batch_summary.h"

#include <algorithm>
#include <cstdio>

namespace quorvix::tools {
namespace {

double rate(std::size_t items, double seconds) {
  return seconds > 0 ? static_cast<double>(items) / seconds : 0;
}

}  // namespace

void BatchSummary::add(const BatchOutcome& outcome) {
  if (outcome.error) {
    ++failed_;
    ++errors_[*outcome.error];
    return;
  }
  ++converted_;
  if (outcome.keeps_raw_tex) ++keeps_raw_tex_;
}

std::vector<std::pair<std::string, std::size_t>> BatchSummary::top_errors(std::size_t limit) const {
  std::vector<std::pair<std::string, std::size_t>> all(errors_.begin(), errors_.end());
  const auto more_common = [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  };
  const std::size_t kept = std::min(limit, all.size());
  std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(kept), all.end(), more_common);
  all.resize(kept);
  return all;
}

std::string BatchSummary::text(double seconds, unsigned jobs) const {
  char timing[96];
  std::snprintf(timing, sizeof timing, "%.2f s, %.1f items/s, %u jobs", seconds, rate(total(), seconds),
                jobs);
  std::string out = "items: " + std::to_string(total()) + " (" + timing + ")\n";
  out += "converted: " + std::to_string(converted_) + ", of which " + std::to_string(keeps_raw_tex_) +
         " keep raw TeX\n";
  out += "failed: " + std::to_string(failed_) + "\n";
  for (const auto& [message, count] : top_errors()) {
    out += "  " + std::to_string(count) + "  " + message + "\n";
  }
  return out;
}

nlohmann::json BatchSummary::json(double seconds, unsigned jobs) const {
  nlohmann::json top = nlohmann::json::array();
  for (const auto& [message, count] : top_errors()) top.push_back({{"message", message}, {"count", count}});
  return {{"total", total()},
          {"converted", converted_},
          {"failed", failed_},
          {"keeps_raw_tex", keeps_raw_tex_},
          {"top_errors", std::move(top)},
          {"jobs", jobs},
          {"seconds", seconds},
          {"items_per_second", rate(total(), seconds)}};
}

}  // namespace quorvix::tools
