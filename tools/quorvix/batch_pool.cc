#include "quorvix/batch_pool.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace quorvix::tools {
namespace {

// The state shared by the reading thread and the workers. Outcome i waits in
// slot i % window until every earlier outcome has been emitted; the reader
// never runs more than a window ahead of the emitted ones, so a slot is
// always free when its item is read.
//
// Conversions take microseconds, so the threads meet rarely: the reader,
// once the window is full, sleeps until half of it has been emitted; a
// worker takes a run of queued items at once and stores their outcomes
// together; the emitting thread takes every ready outcome in one go.
class OrderedPool {
 public:
  OrderedPool(std::size_t window, unsigned jobs, const PoolCallbacks& callbacks)
      : callbacks_(callbacks), slots_(window), jobs_(jobs) {}

  // Reads every item and queues it, waiting while the window is full.
  void feed() {
    for (;;) {
      std::optional<BatchItem> item = callbacks_.next();
      std::unique_lock lock(mutex_);
      if (!item) break;
      if (read_ - emitted_ >= slots_.size()) {
        reader_waiting_ = true;
        space_.wait(lock, [this] { return read_ - emitted_ <= slots_.size() / 2; });
        reader_waiting_ = false;
      }
      queue_.emplace_back(read_++, *std::move(item));
      const bool wake = idle_workers_ > 0;
      lock.unlock();
      if (wake) work_.notify_one();
    }
    std::lock_guard lock(mutex_);
    input_done_ = true;
    work_.notify_all();
  }

  void work() {
    std::vector<std::pair<std::size_t, BatchItem>> taken;
    std::vector<std::pair<std::size_t, BatchOutcome>> done;
    for (;;) {
      std::unique_lock lock(mutex_);
      if (queue_.empty() && !input_done_) {
        ++idle_workers_;
        work_.wait(lock, [this] { return !queue_.empty() || input_done_; });
        --idle_workers_;
      }
      if (queue_.empty()) return;
      // A fair share of what is queued, so that no worker idles while
      // another holds a long run.
      const std::size_t share = std::clamp<std::size_t>(queue_.size() / (2 * jobs_), 1, 16);
      for (std::size_t i = 0; i < share; ++i) {
        taken.push_back(std::move(queue_.front()));
        queue_.pop_front();
      }
      lock.unlock();
      for (auto& [index, item] : taken) done.emplace_back(index, callbacks_.convert(item));
      taken.clear();
      lock.lock();
      for (auto& [index, outcome] : done) slots_[index % slots_.size()] = std::move(outcome);
      done.clear();
      if (!emitting_) emit_ready(lock);
    }
  }

 private:
  // Emits the outcomes that are next in order, with the lock released while
  // they are handed on. Only one thread at a time does this; outcomes that
  // arrive meanwhile are picked up by its next look at the slots.
  void emit_ready(std::unique_lock<std::mutex>& lock) {
    emitting_ = true;
    std::vector<BatchOutcome> ready;
    for (;;) {
      for (std::size_t next = emitted_ + ready.size(); slots_[next % slots_.size()]; ++next) {
        std::optional<BatchOutcome>& slot = slots_[next % slots_.size()];
        ready.push_back(*std::move(slot));
        slot.reset();
        if (ready.size() == slots_.size()) break;
      }
      if (ready.empty()) break;
      lock.unlock();
      for (BatchOutcome& outcome : ready) callbacks_.emit(std::move(outcome));
      lock.lock();
      emitted_ += ready.size();
      ready.clear();
      if (reader_waiting_ && read_ - emitted_ <= slots_.size() / 2) space_.notify_one();
    }
    emitting_ = false;
  }

  const PoolCallbacks& callbacks_;
  std::mutex mutex_;
  std::condition_variable work_;   // an item was queued, or the input ended
  std::condition_variable space_;  // half the window is free again
  std::deque<std::pair<std::size_t, BatchItem>> queue_;
  std::vector<std::optional<BatchOutcome>> slots_;
  const unsigned jobs_;
  std::size_t read_ = 0;     // items read so far
  std::size_t emitted_ = 0;  // outcomes emitted so far
  std::size_t idle_workers_ = 0;
  bool reader_waiting_ = false;
  bool input_done_ = false;
  bool emitting_ = false;
};

}  // namespace

std::size_t pool_window(unsigned jobs) { return std::max<std::size_t>(64, std::size_t{16} * jobs); }

void run_ordered_pool(unsigned jobs, const PoolCallbacks& callbacks) {
  jobs = std::max(jobs, 1u);
  OrderedPool pool(pool_window(jobs), jobs, callbacks);
  std::vector<std::thread> workers;
  workers.reserve(jobs);
  for (unsigned i = 0; i < jobs; ++i) workers.emplace_back([&pool] { pool.work(); });
  pool.feed();
  for (std::thread& worker : workers) worker.join();
}

}  // namespace quorvix::tools
