#include "qvf/constructs/templates.h"

#include "common/internal_error.h"

namespace quorvix::qvf {

WriteResult write_strike_node(const ast::Strike&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("strike writer not built yet");
}

WriteResult write_fraction_node(const ast::Fraction&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("fraction writer not built yet");
}

WriteResult write_sqrt_node(const ast::Sqrt&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("sqrt writer not built yet");
}

WriteResult write_root_node(const ast::Root&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("root writer not built yet");
}

WriteResult write_binomial_node(const ast::Binomial&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("binomial writer not built yet");
}

WriteResult write_brace_node(const ast::Brace&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("brace writer not built yet");
}

WriteResult write_stackrel_node(const ast::Stackrel&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("stackrel writer not built yet");
}

WriteResult write_underset_node(const ast::Underset&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("underset writer not built yet");
}

WriteResult write_xarrow_node(const ast::XArrow&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("xarrow writer not built yet");
}

WriteResult write_textstyle_fraction(const ast::Expr&, const ast::Expr&, Bytes&, SizeLevel, bool,
                                     QvfWriter&) {
  internal_failure("text-style fraction writer not built yet");
}

WriteResult write_textstyle_binom_pile(const ast::Expr&, const ast::Expr&, Bytes&, SizeLevel, bool,
                                       QvfWriter&) {
  internal_failure("text-style binomial writer not built yet");
}

WriteResult write_textstyle_parenthesized_pile(const ast::Expr&, const ast::Expr&, Bytes&, SizeLevel, bool,
                                               QvfWriter&) {
  internal_failure("text-style pile writer not built yet");
}

}  // namespace quorvix::qvf
