// Scripts, big operators, integrals and limits: the constructs that put
// material above, below or beside a base.
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

// `base` with an optional subscript and superscript (absent: nullptr).
WriteResult write_script(const ast::Expr& base, const ast::Expr* sub, const ast::Expr* sup, Bytes& out,
                         SizeLevel size, QvfWriter& writer);

// A big operator with its limits under and over it, around `operand` or
// (operand nullptr) standing alone.
WriteResult write_big_op(ast::BigOperatorKind kind, const ast::Expr* operand, const ast::Expr* lower,
                         const ast::Expr* upper, Bytes& out, SizeLevel size, QvfWriter& writer);
// A big operator applied to a body, without limits.
WriteResult write_fallback_big_op_body(ast::BigOperatorKind kind, const ast::Expr& body, Bytes& out,
                                       SizeLevel size, QvfWriter& writer);

// The text-style forms of a big operator and of an integral without operand.
// `restore` true: the size the template leaves is taken as the incoming one
// and nothing is written after it; false: at full size FULL follows the
// template, at script sizes the sub-subscript level is reported.
WriteResult write_textstyle_bodyless_big_op(ast::BigOperatorKind kind, const ast::Expr* lower,
                                            const ast::Expr* upper, Bytes& out, SizeLevel size, bool restore,
                                            QvfWriter& writer);
WriteResult write_textstyle_bodyless_integral(const ast::Expr* lower, const ast::Expr* upper, Bytes& out,
                                              SizeLevel size, bool restore, QvfWriter& writer);
// An integral sign with limits under and over it, without operand.
WriteResult write_bodyless_integral_limits(const ast::Expr* lower, const ast::Expr* upper, Bytes& out,
                                           SizeLevel size, QvfWriter& writer);
// An integral with its operand and optional limits.
WriteResult write_integral_op(ast::IntegralKind kind, const ast::Expr& operand, const ast::Expr* lower,
                              const ast::Expr* upper, Bytes& out, SizeLevel size, QvfWriter& writer);

// A named limit operator (lim, sup, ...).
WriteResult write_limit_expr(std::string_view name, const ast::Expr* lower, const ast::Expr* upper,
                             bool nolimits, Bytes& out, SizeLevel size, QvfWriter& writer);
// \mathop.
WriteResult write_math_op_expr(const ast::MathOp& node, Bytes& out, SizeLevel size, QvfWriter& writer);

// The text-style stand-in for a big operator whose limits go beside it: the
// operator without operand and with `nolimits` clear inside a Style of level
// Text. The limits are copied; the operand is not part of it.
ast::Expr no_limits_big_op_expr(const ast::BigOperator& node);

// The line of a limit under or over a big operator. Inside the cells of an
// environment written back as TeX, a limit that is a \substack is drawn as
// a pile of its rows; anywhere else it is an ordinary line.
WriteResult write_limit_line(const ast::Expr& limit, Bytes& out, SizeLevel level, QvfWriter& writer);

// True when a Substack occurs anywhere in `e`.
bool expr_contains_substack(const ast::Expr& e);
// True for the nodes written as a template record (TMPL, PILE or MATRIX).
bool expr_has_template_structure(const ast::Expr& e);

}  // namespace quorvix::qvf
