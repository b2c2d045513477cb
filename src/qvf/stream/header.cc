#include "qvf/stream/header.h"

namespace quorvix::qvf {

bool expr_is_translation_failed_placeholder(const ast::Expr& expr) {
  const ast::Expr* cur = &expr;
  for (;;) {
    if (const auto* s = cur->get_if<ast::Sequence>(); s && s->items.size() == 1) {
      cur = &s->items.front();
    } else if (const auto* st = cur->get_if<ast::Style>(); st && st->body) {
      cur = st->body.get();
    } else if (const auto* env = cur->get_if<ast::Environment>();
               env && env->rows.size() == 1 && env->rows.front().size() == 1) {
      cur = &env->rows.front().front();
    } else {
      return ast::is_failure_text(*cur);
    }
  }
}

void write_qvf_header(bool placeholder, Bytes& out) {
  // Format version 5, platform 1, product 0, product version 7.8, the
  // application key, then the equation options.
  static constexpr std::uint8_t kFixed[] = {5, 1, 0, 7, 8, 'Q', 'R', 'V', 'X', '7', 0};
  out.insert(out.end(), std::begin(kFixed), std::end(kFixed));
  out.push_back(placeholder ? 0 : 1);
}

}  // namespace quorvix::qvf
