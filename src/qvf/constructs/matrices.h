// Matrices and environments: the MATRIX record with its cells, the fences of
// the fenced matrices and of cases, the two layouts of the alignments, and
// the environments written back as TeX with their cells visible.
#pragma once

#include <cstdint>
#include <string_view>

#include "ast/expr.h"
#include "common/bytes.h"
#include "common/result.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

// One entry per node kind, called by write_expr.
WriteResult write_matrix_node(const ast::Matrix& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_environment_node(const ast::Environment& node, Bytes& out, SizeLevel size,
                                   QvfWriter& writer);

// True when a named colour is selected anywhere in `e`.
bool expr_contains_color_change(const ast::Expr& e);

}  // namespace quorvix::qvf
