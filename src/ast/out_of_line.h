// A node member kept on the heap, so that rarely used bulky data does not
// widen every node of the tree.
#pragma once

#include <memory>
#include <utility>

#include "ast/node_pool.h"

namespace quorvix::ast {

// Holds one `T` out of line with value semantics: copies are deep, moves
// transfer the heap block, which is a block of the node pool like the rest of
// the tree. Until something is stored it reads as a default `T` and owns no
// memory, so nodes that never need the member cost one null pointer.
template <class T>
class OutOfLine {
 public:
  OutOfLine() = default;
  OutOfLine(T value)
      : p_(node_pool::make_pooled<T>(std::move(value))) {}  // NOLINT: reads like a plain T member
  OutOfLine(const OutOfLine& other) : p_(other.p_ ? node_pool::make_pooled<T>(*other.p_) : nullptr) {}
  OutOfLine(OutOfLine&&) noexcept = default;
  OutOfLine& operator=(const OutOfLine& other) {
    if (this != &other) *this = OutOfLine(other);
    return *this;
  }
  OutOfLine& operator=(OutOfLine&&) noexcept = default;
  ~OutOfLine() = default;

  const T& operator*() const { return p_ ? *p_ : empty(); }
  const T* operator->() const { return &**this; }

  // The stored value, or null while nothing has been stored.
  T* get() { return p_.get(); }
  const T* get() const { return p_.get(); }

  // Mutable access; stores a default `T` first when nothing is stored yet.
  T& edit() {
    if (!p_) p_ = node_pool::make_pooled<T>();
    return *p_;
  }

 private:
  static const T& empty() {
    static const T kEmpty{};
    return kEmpty;
  }

  node_pool::PooledPtr<T> p_;
};

}  // namespace quorvix::ast
