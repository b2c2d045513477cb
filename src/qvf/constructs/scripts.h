// Scripts, big operators, integrals and limits.
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
WriteResult write_big_operator_node(const ast::BigOperator& node, Bytes& out, SizeLevel size,
                                    QvfWriter& writer);
WriteResult write_big_operator_body_node(const ast::BigOperatorBody& node, Bytes& out, SizeLevel size,
                                         QvfWriter& writer);
WriteResult write_limit_node(const ast::Limit& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_math_op_node(const ast::MathOp& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_integral_sign_node(const ast::IntegralSign& node, Bytes& out, SizeLevel size,
                                     QvfWriter& writer);
WriteResult write_integral_node(const ast::Integral& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_script_node(const ast::Script& node, Bytes& out, SizeLevel size, QvfWriter& writer);
WriteResult write_subarray_node(const ast::Subarray& node, Bytes& out, SizeLevel size, QvfWriter& writer);

// The glyph CHAR of a named big operator ("sum", "bigwedge", "bigvee", ...).
Status write_named_big_operator_glyph(std::string_view name, Bytes& out);

// The text-style form of a big operator without operand; `restore` tells
// whether the size level is restored after the template.
WriteResult write_textstyle_bodyless_big_op(ast::BigOperatorKind kind, const ast::Expr* lower,
                                            const ast::Expr* upper, Bytes& out, SizeLevel size, bool restore,
                                            QvfWriter& writer);

}  // namespace quorvix::qvf
