// The expression writer: turns a tree into QVF records.
#pragma once

#include <cstdint>

#include "ast/expr.h"
#include "common/bytes.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

// Writes `expr` at size level `size` (0 full, 1 subscript, 2 sub-subscript).
WriteResult write_expr(const ast::Expr& expr, Bytes& out, SizeLevel size, QvfWriter& writer);

// Writes one LINE record holding `expr`.
WriteResult write_line(const ast::Expr& expr, Bytes& out, SizeLevel size, QvfWriter& writer);

}  // namespace quorvix::qvf
