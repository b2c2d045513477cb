// The fences drawn around the fenced matrices (pmatrix, bmatrix, Bmatrix,
// vmatrix, Vmatrix).
#pragma once

#include <cstdint>
#include <string_view>

#include "ast/expr.h"

namespace quorvix::qvf {

struct MatrixFence {
  std::uint8_t kind = 0;      // the MatrixKind of the row
  std::string_view name;      // the environment that makes this kind, for reference
  std::uint8_t selector = 0;  // selector of the fence template (both sides drawn)
  std::uint16_t left = 0;     // expanding glyph on the left
  std::uint16_t right = 0;    // expanding glyph on the right
};

// The fence of `kind`, or nullptr for a kind drawn without one.
const MatrixFence* matrix_fence(ast::MatrixKind kind);

}  // namespace quorvix::qvf
