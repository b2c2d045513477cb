// The work list of an iterative tree walk: a stack whose first entries live
// in the object itself, so that walking a formula-sized tree allocates
// nothing; a deeper or wider walk goes on in a heap vector.
#pragma once

#include <array>
#include <cstddef>
#include <type_traits>
#include <vector>

namespace quorvix {

template <class T, std::size_t N = 32>
class SmallStack {
  static_assert(std::is_trivially_copyable_v<T>, "entries are copied in and out of the inline part");

 public:
  SmallStack() = default;
  SmallStack(const SmallStack&) = delete;
  SmallStack& operator=(const SmallStack&) = delete;
  explicit SmallStack(const T& first) { push(first); }

  // Entries go to the heap part only while the inline part is full, and
  // leave it first, so an empty inline part means an empty stack.
  bool empty() const { return inline_size_ == 0; }
  std::size_t size() const { return inline_size_ + spilled_.size(); }

  void push(const T& value) {
    // The inline part is the bottom of the stack: once it is full, later
    // entries go to the heap part, and they are popped first.
    if (spilled_.empty() && inline_size_ < N) {
      entries_[inline_size_++] = value;
    } else {
      spilled_.push_back(value);
    }
  }

  // The top entry; the stack must not be empty.
  const T& top() const { return spilled_.empty() ? entries_[inline_size_ - 1] : spilled_.back(); }

  // The top entry, removed. The stack must not be empty.
  T pop() {
    if (!spilled_.empty()) {
      const T top = spilled_.back();
      spilled_.pop_back();
      return top;
    }
    return entries_[--inline_size_];
  }

 private:
  // Left uninitialised: only entries below inline_size_ are ever read, and
  // clearing the whole array would cost more than a short walk itself.
  std::array<T, N> entries_;
  std::size_t inline_size_ = 0;
  std::vector<T> spilled_;
};

}  // namespace quorvix
