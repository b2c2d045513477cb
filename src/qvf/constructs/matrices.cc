#include "qvf/constructs/matrices.h"

#include "common/internal_error.h"

namespace quorvix::qvf {

WriteResult write_matrix_node(const ast::Matrix&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("matrix writer not built yet");
}

WriteResult write_environment_node(const ast::Environment&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("environment writer not built yet");
}

}  // namespace quorvix::qvf
