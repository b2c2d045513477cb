#include "qvf/constructs/accents.h"

#include "common/internal_error.h"

namespace quorvix::qvf {

WriteResult write_accent_node(const ast::Accent&, Bytes&, std::uint8_t, QvfWriter&) {
  internal_failure("accent writer not built yet");
}

WriteResult write_arrow_accent_node(const ast::ArrowAccent&, Bytes&, std::uint8_t, QvfWriter&) {
  internal_failure("arrow accent writer not built yet");
}

WriteResult write_over_underline_node(const ast::OverUnderline&, Bytes&, std::uint8_t, QvfWriter&) {
  internal_failure("over underline writer not built yet");
}

WriteResult write_not_node(const ast::Not&, Bytes&, std::uint8_t, QvfWriter&) {
  internal_failure("not writer not built yet");
}

WriteResult write_delimited_node(const ast::Delimited&, Bytes&, std::uint8_t, QvfWriter&) {
  internal_failure("delimited writer not built yet");
}

WriteResult write_one_sided_delimited_node(const ast::OneSidedDelimited&, Bytes&, std::uint8_t, QvfWriter&) {
  internal_failure("one sided delimited writer not built yet");
}

}  // namespace quorvix::qvf
