// Radicals: the square root, whose index slot stays empty, and the root with
// an index set one size smaller.
#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/template_layout.h"
#include "qvf/constructs/templates.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"

namespace quorvix::qvf {

using namespace ast;

WriteResult write_sqrt_node(const Sqrt& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const Expr& radicand = required(node.radicand);
  write_template_record(template_selector::kRoot, 0x00, out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome rad, write_line(radicand, out, size, writer));
  // The empty index slot is written at subscript size and in black. A
  // radicand ending in a big operator or \mathop (directly or at the end of a
  // fraction's denominator) leaves the subscript size unreliable, so it is
  // selected even then.
  if (rad.size_after != SizeLevel::Subscript || expr_requires_explicit_sqrt_index_restore(radicand))
    write_size_record(SizeLevel::Subscript, out);
  if (!rad.black_in_force) select_black(out, writer);
  write_null_line(out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, SizeLevel::Subscript};
}

WriteResult write_root_node(const Root& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const SizeLevel level = script_level(size);
  write_template_record(template_selector::kRoot, 0x01, out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome rad, write_line(required(node.radicand), out, size, writer));
  restore_level(rad, level, out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome index, write_line(required(node.index), out, level, writer));
  out.push_back(tag::kEnd);
  return index;
}

}  // namespace quorvix::qvf
