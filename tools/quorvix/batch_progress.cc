#include "quorvix/batch_progress.h"

#include <algorithm>
#include <cstdio>

namespace quorvix::tools {

std::string render_progress(std::size_t done, std::optional<std::size_t> total, double seconds) {
  const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
  char text[160];
  if (!total || *total == 0) {
    std::snprintf(text, sizeof text, "%zu items  %.1f/s", done, rate);
    return text;
  }
  constexpr std::size_t kWidth = 30;
  const std::size_t shown = std::min(done, *total);
  const std::size_t filled = shown * kWidth / *total;
  const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, '-');
  if (rate > 0) {
    const auto left = static_cast<long long>(static_cast<double>(*total - shown) / rate + 0.5);
    std::snprintf(text, sizeof text, "[%s] %zu/%zu  %.1f/s  %lld:%02lld left", bar.c_str(), shown, *total,
                  rate, left / 60, left % 60);
  } else {
    std::snprintf(text, sizeof text, "[%s] %zu/%zu", bar.c_str(), shown, *total);
  }
  return text;
}

ProgressBar::ProgressBar(std::ostream& out, bool enabled, std::optional<std::size_t> total)
    : out_(out), enabled_(enabled), total_(total) {}

void ProgressBar::update(std::size_t done) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_draw_ < std::chrono::milliseconds(100)) return;
  last_draw_ = now;
  draw(done);
}

void ProgressBar::finish(std::size_t done) {
  if (!enabled_) return;
  draw(done);
  out_ << '\n' << std::flush;
}

void ProgressBar::draw(std::size_t done) {
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  // Clear to the end of the line: a shorter line must not leave the tail of
  // a longer one.
  out_ << '\r' << render_progress(done, total_, seconds) << "\x1b[K" << std::flush;
}

}  // namespace quorvix::tools
