// Limit operators (lim, sup and the like) and \mathop: a base with limits
// under and over it, or with scripts beside it.
#include <array>
#include <string>

#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/scripts.h"
#include "qvf/stream/records.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// Whether the limit template is the last thing before raw TeX or the whole
// line or tree: then it leaves its size and colour as they are. Both marks
// are meant for this template and are cleared.
bool take_bare_end_marks(QvfWriter& w) {
  const bool before_raw = take(w.marks.limit_before_raw);
  const bool whole_tree = take(w.tree_start.limit_op_at_tree_start);
  return before_raw || whole_tree;
}

// A base line, then lower and upper slots at the sub level, with the size
// restored and COLOR 0 after the base and after the lower slot.
[[gnu::noinline]] WriteResult write_limits_template(std::uint8_t variation, const Expr& base,
                                                    const Expr* lower, const Expr* upper, bool bare_end,
                                                    Bytes& out, SizeLevel size, QvfWriter& w) {
  const SizeLevel sl = sub_level(size);
  write_template_record(selector::kLimit, variation, out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome b, write_line(base, out, size, w));
  if (b.size_after != sl) write_size_record(sl, out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome low, write_slot(lower, out, sl, w));
  if (low.size_after != sl) write_size_record(sl, out);
  color_default(out);
  QV_RETURN_IF_ERROR(write_slot(upper, out, sl, w));
  out.push_back(tag::kEnd);
  if (bare_end) return WriteOutcome{false, sl};
  if (size != sl) write_size_record(size, out);
  select_black(out, w);
  return WriteOutcome{true, size};
}

// The space an unbraced \mathop argument is set after.
[[gnu::noinline]] const Expr& roman_space() {
  static const Expr kSpace = Expr(Font{box(make_char(U' ')), FontKind::RomanText});
  return kSpace;
}

}  // namespace

WriteResult write_limit_expr(std::string_view name, const Expr* lower, const Expr* upper, bool nolimits,
                             Bytes& out, SizeLevel size, QvfWriter& writer) {
  const bool bare_end = take_bare_end_marks(writer);
  const Expr function(FunctionName{std::string(name)});
  // Scripts beside the name: with \nolimits, and for an upper limit alone,
  // which has no limit template of its own.
  if (nolimits || lower == nullptr) return write_script(function, lower, upper, out, size, writer);
  return write_limits_template(0x10, function, lower, upper, bare_end, out, size, writer);
}

WriteResult write_math_op_expr(const MathOp& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const Expr& body = required(node.body);
  const bool limited = node.lower || node.upper;
  // The marks are cleared for the side-script form too, which has no use for them.
  bool bare_end = take(writer.marks.limit_before_raw);
  if (limited) {
    // The tree may start with this operator; then no sequence consumed the mark.
    take(writer.line.sequence_skips_colour);
    bare_end = take(writer.tree_start.limit_op_at_tree_start) || bare_end;
  }
  if (node.nolimits && limited)
    return write_script(body, node.lower.get(), node.upper.get(), out, size, writer);
  if (!limited) {
    if (!node.unbraced) return write_expr(body, out, size, writer);
    const std::array<const Expr*, 2> items{&roman_space(), &body};
    return write_sequence_items(ItemList(std::span<const Expr* const>(items)), out, size, writer);
  }
  const std::uint8_t variation = node.lower && node.upper ? 0x30 : node.lower ? 0x10 : 0x20;
  return write_limits_template(variation, body, node.lower.get(), node.upper.get(), bare_end, out, size,
                               writer);
}

WriteResult write_limit_node(const Limit& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  return write_limit_expr(node.name, node.lower.get(), node.upper.get(), node.nolimits, out, size, writer);
}

WriteResult write_math_op_node(const MathOp& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  return write_math_op_expr(node, out, size, writer);
}

}  // namespace quorvix::qvf
