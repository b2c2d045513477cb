// The worker pool of `quorvix batch`: items are converted on several threads
// and their outcomes handed on strictly in input order.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "quorvix/batch_reader.h"

namespace quorvix::tools {

// What became of one item.
struct BatchOutcome {
  std::string line;                  // the output JSON line, without its line break
  std::optional<std::string> error;  // the failure message; unset when the item converted
  bool keeps_raw_tex = false;        // the equation shows part of its TeX verbatim
};

struct PoolCallbacks {
  // Supplies the items, on the calling thread; nullopt ends the input.
  std::function<std::optional<BatchItem>()> next;
  // Converts one item; called on the worker threads, several at once.
  std::function<BatchOutcome(const BatchItem&)> convert;
  // Receives every outcome exactly once, in input order, never from two
  // threads at once.
  std::function<void(BatchOutcome&&)> emit;
};

// Runs the batch on `jobs` worker threads (at least one) and returns once
// every item read has been emitted. At most a fixed window of items, a small
// multiple of `jobs`, is held between reading and emitting, so memory does
// not grow with the input; a slow item holds back the output behind it but
// not the conversions.
void run_ordered_pool(unsigned jobs, const PoolCallbacks& callbacks);

// The window for `jobs` threads.
std::size_t pool_window(unsigned jobs);

}  // namespace quorvix::tools
