// The nesting bound shared by the parser and every recursive walk over a tree.
#pragma once

#include <cstddef>
#include <string_view>

namespace quorvix {

// Deepest nesting of groups and arguments the parser accepts. Every recursive
// walk over a tree (writing in particular) stays within a fixed number of
// stack frames per level, so a conversion at this bound fits comfortably in a
// 256 KiB thread stack. Measured parser cost of one level of `{` nesting:
// about 580 bytes in an optimised build and 1.6 KiB with AddressSanitizer,
// so 100 levels leave room for the larger frames of other constructs.
inline constexpr std::size_t kMaxNestingDepth = 100;

inline constexpr std::string_view kNestedTooDeeply = "expression is nested too deeply";

}  // namespace quorvix
