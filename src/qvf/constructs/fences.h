// Stretchy fences: two-sided and one-sided \left...\right groups.
#pragma once

#include "ast/expr.h"
#include "common/bytes.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

// One entry per node kind, called by write_expr.
WriteResult write_delimited_node(const ast::Delimited& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_one_sided_delimited_node(const ast::OneSidedDelimited& node, Bytes& out, SizeLevel size,
                                           QvfWriter& writer);

}  // namespace quorvix::qvf
