// Stacked forms: material set above (\stackrel, \overset) or below
// (\underset) a base that keeps its size, in one template with a lower and
// an upper slot.
#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/template_layout.h"
#include "qvf/constructs/templates.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

inline constexpr std::uint8_t kOverVariation = 0x20;
inline constexpr std::uint8_t kUnderVariation = 0x10;

// The base line at `size`, then the script level selected again if the base
// left another one, and the default colour for the slot that follows.
[[gnu::noinline]] Status write_stacked_base(const Expr& base, Bytes& out, SizeLevel size, SizeLevel level,
                                            QvfWriter& w) {
  QV_ASSIGN_OR_RETURN(const WriteOutcome b, write_line(base, out, size, w));
  restore_level(b, level, out);
  color_default(out);
  return Status();
}

}  // namespace

WriteResult write_stackrel_node(const Stackrel& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const SizeLevel level = script_level(size);
  // A line that starts with this template has written no colour in front of
  // it, and needs none.
  if (!take(writer.marks.stackrel_in_line)) color_default(out);
  write_template_record(template_selector::kStacked, kOverVariation, out);
  QV_RETURN_IF_ERROR(write_stacked_base(required(node.base), out, size, level, writer));
  write_null_line(out);  // the lower slot
  QV_ASSIGN_OR_RETURN(const WriteOutcome over, write_line(required(node.over), out, level, writer));
  out.push_back(tag::kEnd);
  return over;
}

WriteResult write_underset_node(const Underset& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const SizeLevel level = script_level(size);
  const Expr& base = required(node.base);
  // Raw TeX at the start of the base leaves no colour selected before it.
  if (expr_starts_with_raw_tex(base)) color_default(out);
  write_template_record(template_selector::kStacked, kUnderVariation, out);
  QV_RETURN_IF_ERROR(write_stacked_base(base, out, size, level, writer));
  QV_ASSIGN_OR_RETURN(const WriteOutcome under, write_line(required(node.under), out, level, writer));
  restore_level(under, level, out);
  color_default(out);
  write_null_line(out);  // the upper slot
  out.push_back(tag::kEnd);
  return WriteOutcome{false, level};
}

}  // namespace quorvix::qvf
