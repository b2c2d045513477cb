// The names of the environments being parsed, innermost last. A sub-parser
// sees the names of its parent below its own without copying them, and
// pushes and pops only its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ast/node_pool.h"

namespace quorvix::parser {

class EnvironmentStack {
 public:
  // An empty stack.
  EnvironmentStack() = default;
  // A stack continuing `enclosing`, which must outlive it and must not change
  // while it exists (a parent parser is idle while its sub-parser runs).
  explicit EnvironmentStack(const EnvironmentStack* enclosing);

  // Shared by pointer, never copied.
  EnvironmentStack(const EnvironmentStack&) = delete;
  EnvironmentStack& operator=(const EnvironmentStack&) = delete;

  void push(std::string name) { own_.push_back(std::move(name)); }
  // Removes the innermost name, which must be one this stack pushed.
  void pop();

  bool empty() const { return size() == 0; }
  // Names in the whole chain.
  std::size_t size() const { return enclosing_size_ + own_.size(); }
  // The innermost name, or null when the chain is empty.
  const std::string* innermost() const;
  // True when `name` is open anywhere in the chain.
  bool contains(std::string_view name) const;

  // Names pushed by this stack, and a return to an earlier count of them
  // (used when a failed attempt is undone).
  std::size_t own_size() const { return own_.size(); }
  // The name this stack pushed at `index` (0 for its outermost).
  const std::string& own_name(std::size_t index) const { return own_.at(index); }
  void truncate(std::size_t own_size);

 private:
  // The nearest enclosing stack holding names of its own.
  const EnvironmentStack* enclosing_ = nullptr;
  std::size_t enclosing_size_ = 0;
  // In the node pool: a stack is made per parse and usually holds a name or two.
  std::vector<std::string, ast::node_pool::NodeAllocator<std::string>> own_;
};

}  // namespace quorvix::parser
