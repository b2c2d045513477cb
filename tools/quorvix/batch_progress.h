// The progress bar of `quorvix batch` on standard error.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <ostream>
#include <string>

namespace quorvix::tools {

// One bar line, without the carriage return: items done (of the total when
// it is known, with a bar and the time left), and the rate so far.
std::string render_progress(std::size_t done, std::optional<std::size_t> total, double seconds);

class ProgressBar {
 public:
  // A disabled bar writes nothing at all.
  ProgressBar(std::ostream& out, bool enabled, std::optional<std::size_t> total);

  // Redraws the bar for `done` items, at most ten times a second.
  void update(std::size_t done);
  // Draws the final state and ends the line.
  void finish(std::size_t done);

 private:
  void draw(std::size_t done);

  std::ostream& out_;
  bool enabled_;
  std::optional<std::size_t> total_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_draw_{};
};

}  // namespace quorvix::tools
