// The depth of a tree, measured without recursion.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "ast/expr.h"

namespace quorvix::test_support {

// Levels from the root to the deepest node, the root counting as one.
inline std::size_t tree_depth(const ast::Expr& root) {
  std::size_t deepest = 0;
  std::vector<std::pair<const ast::Expr*, std::size_t>> work{{&root, 1}};
  while (!work.empty()) {
    const auto [e, depth] = work.back();
    work.pop_back();
    deepest = std::max(deepest, depth);
    ast::for_each_child(*e, [&, d = depth](const ast::Expr& child) { work.emplace_back(&child, d + 1); });
  }
  return deepest;
}

}  // namespace quorvix::test_support
