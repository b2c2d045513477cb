#include "qvf/constructs/scripts.h"

#include "common/internal_error.h"

namespace quorvix::qvf {

WriteResult write_big_operator_node(const ast::BigOperator&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("big operator writer not built yet");
}

WriteResult write_big_operator_body_node(const ast::BigOperatorBody&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("big operator body writer not built yet");
}

WriteResult write_limit_node(const ast::Limit&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("limit writer not built yet");
}

WriteResult write_math_op_node(const ast::MathOp&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("math op writer not built yet");
}

WriteResult write_integral_sign_node(const ast::IntegralSign&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("integral sign writer not built yet");
}

WriteResult write_integral_node(const ast::Integral&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("integral writer not built yet");
}

WriteResult write_script_node(const ast::Script&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("script writer not built yet");
}

WriteResult write_subarray_node(const ast::Subarray&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("subarray writer not built yet");
}

Status write_named_big_operator_glyph(std::string_view, Bytes&) {
  internal_failure("big operator glyph writer not built yet");
}

WriteResult write_textstyle_bodyless_big_op(ast::BigOperatorKind, const ast::Expr*, const ast::Expr*, Bytes&,
                                            SizeLevel, bool, QvfWriter&) {
  internal_failure("text-style big operator writer not built yet");
}

}  // namespace quorvix::qvf
