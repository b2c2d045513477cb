#include "qvf/constructs/accents.h"

#include "common/internal_error.h"

namespace quorvix::qvf {

WriteResult write_accent_node(const ast::Accent&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("accent writer not built yet");
}

WriteResult write_arrow_accent_node(const ast::ArrowAccent&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("arrow accent writer not built yet");
}

WriteResult write_over_underline_node(const ast::OverUnderline&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("over underline writer not built yet");
}

WriteResult write_not_node(const ast::Not&, Bytes&, SizeLevel, QvfWriter&) {
  internal_failure("not writer not built yet");
}

}  // namespace quorvix::qvf
