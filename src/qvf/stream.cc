#include "qvf/stream.h"

namespace quorvix::qvf {

Result<Bytes> write_qvf_with_prefs(std::string_view, const ast::Expr&, const std::optional<std::string>&) {
  return make_error("equation writer not built yet");
}

}  // namespace quorvix::qvf
