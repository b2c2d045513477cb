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
class OrderedPool {
 public:
  OrderedPool(std::size_t window, const PoolCallbacks& callbacks) : callbacks_(callbacks), slots_(window) {}

  // Reads every item and queues it, waiting while the window is full.
  void feed() {
    for (;;) {
      std::optional<BatchItem> item = callbacks_.next();
      std::unique_lock lock(mutex_);
      if (!item) break;
      space_.wait(lock, [this] { return read_ - emitted_ < slots_.size(); });
      queue_.emplace_back(read_++, *std::move(item));
      lock.unlock();
      work_.notify_one();
    }
    std::lock_guard lock(mutex_);
    input_done_ = true;
    work_.notify_all();
  }

  void work() {
    for (;;) {
      std::unique_lock lock(mutex_);
      work_.wait(lock, [this] { return !queue_.empty() || input_done_; });
      if (queue_.empty()) return;
      auto [index, item] = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      BatchOutcome outcome = callbacks_.convert(item);
      lock.lock();
      slots_[index % slots_.size()] = std::move(outcome);
      if (!emitting_) emit_ready(lock);
    }
  }

 private:
  // Emits the outcomes that are next in order, with the lock released while
  // each is handed on. Only one thread at a time does this; outcomes that
  // arrive meanwhile are picked up by its next look at the slots.
  void emit_ready(std::unique_lock<std::mutex>& lock) {
    emitting_ = true;
    for (;;) {
      std::optional<BatchOutcome>& slot = slots_[emitted_ % slots_.size()];
      if (!slot) break;
      BatchOutcome outcome = *std::move(slot);
      slot.reset();
      lock.unlock();
      callbacks_.emit(std::move(outcome));
      lock.lock();
      ++emitted_;
      space_.notify_one();
    }
    emitting_ = false;
  }

  const PoolCallbacks& callbacks_;
  std::mutex mutex_;
  std::condition_variable work_;   // an item was queued, or the input ended
  std::condition_variable space_;  // an outcome was emitted
  std::deque<std::pair<std::size_t, BatchItem>> queue_;
  std::vector<std::optional<BatchOutcome>> slots_;
  std::size_t read_ = 0;     // items read so far
  std::size_t emitted_ = 0;  // outcomes emitted so far
  bool input_done_ = false;
  bool emitting_ = false;
};

}  // namespace

std::size_t pool_window(unsigned jobs) { return std::max<std::size_t>(64, std::size_t{16} * jobs); }

void run_ordered_pool(unsigned jobs, const PoolCallbacks& callbacks) {
  jobs = std::max(jobs, 1u);
  OrderedPool pool(pool_window(jobs), callbacks);
  std::vector<std::thread> workers;
  workers.reserve(jobs);
  for (unsigned i = 0; i < jobs; ++i) workers.emplace_back([&pool] { pool.work(); });
  pool.feed();
  for (std::thread& worker : workers) worker.join();
}

}  // namespace quorvix::tools
