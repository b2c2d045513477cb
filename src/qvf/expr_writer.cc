#include "qvf/expr_writer.h"

#include "common/internal_error.h"

namespace quorvix::qvf {

WriteResult write_expr(const ast::Expr&, Bytes&, std::uint8_t, QvfWriter&) {
  internal_failure("expression writer not built yet");
}

WriteResult write_line(const ast::Expr&, Bytes&, std::uint8_t, QvfWriter&) {
  internal_failure("expression writer not built yet");
}

}  // namespace quorvix::qvf
