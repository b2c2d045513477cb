#include "qvf/constructs/script_layout.h"

#include "qvf/constructs/scripts.h"
#include "qvf/stream/records.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

void write_template_record(std::uint8_t selector, std::uint8_t variation, Bytes& out) {
  append_record(out, {tag::kTmpl, 0x00, selector, variation, 0x00});
}

WriteResult write_slot(const ast::Expr* expr, Bytes& out, SizeLevel level, QvfWriter& writer) {
  if (expr == nullptr) {
    write_null_line(out);
    return WriteOutcome{false, level};
  }
  return write_limit_line(*expr, out, level, writer);
}

Result<bool> write_limit_slots(const ast::Expr* lower, const ast::Expr* upper, Bytes& out, SizeLevel level,
                               bool black_before_missing_upper, QvfWriter& writer) {
  if (lower == nullptr) {
    write_null_line(out);
    QV_ASSIGN_OR_RETURN(const WriteOutcome up, write_slot(upper, out, level, writer));
    return upper != nullptr && up.black_in_force;
  }
  QV_ASSIGN_OR_RETURN(const WriteOutcome low, write_limit_line(*lower, out, level, writer));
  if (low.size_after != level) write_size_record(level, out);
  if (upper != nullptr) {
    if (low.black_in_force) color_default(out);
    QV_ASSIGN_OR_RETURN(const WriteOutcome up, write_limit_line(*upper, out, level, writer));
    return up.black_in_force;
  }
  bool black = low.black_in_force;
  if (black_before_missing_upper && !black) {
    select_black(out, writer);
    black = true;
  }
  write_null_line(out);
  return black;
}

}  // namespace quorvix::qvf
