#include "qvf/constructs/fences.h"

#include "common/internal_error.h"

namespace quorvix::qvf {

WriteResult write_delimited_node(const ast::Delimited&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("delimited writer not built yet");
}

WriteResult write_one_sided_delimited_node(const ast::OneSidedDelimited&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("one sided delimited writer not built yet");
}

}  // namespace quorvix::qvf
