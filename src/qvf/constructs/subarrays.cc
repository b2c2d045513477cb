// Stacked rows under and over big operators: a subarray written back as TeX
// with its cells visible, and \substack limits drawn as a pile inside the
// cells of an environment written back as TeX.
#include <string>

#include "qvf/constructs/matrix_layout.h"
#include "qvf/constructs/scripts.h"
#include "qvf/constructs/template_layout.h"
#include "qvf/stream/records.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

Status write_raw(std::string_view text, Bytes& out, const QvfWriter& w) {
  return write_text_code_units(text, 0x80, out, w.source_encoding);
}

// A translated cell between raw pieces: black in front, the default colour
// after it, and the size undone when the cell changed it.
Status write_visible_cell(const Expr& cell, Bytes& out, SizeLevel size, QvfWriter& w) {
  if (is_empty_sequence(cell)) return Status();
  select_black(out, w);
  QV_ASSIGN_OR_RETURN(const WriteOutcome r, write_expr(cell, out, size, w));
  if (r.size_after != size) write_size_record(size, out);
  color_default(out);
  return Status();
}

// The rows of a \substack as a pile: one line per row at `level`.
WriteResult write_substack_pile_line(const Substack& stack, Bytes& out, SizeLevel level, QvfWriter& w) {
  append_record(out, {tag::kLine, 0x00});
  write_pile_record(out);
  WriteOutcome last{false, level};
  for (std::size_t r = 0; r < stack.rows.size(); ++r) {
    if (r > 0) {
      restore_level(last, level, out);
      color_default(out);
    }
    const Expr row = joined_row(stack.rows[r], nullptr);
    QV_ASSIGN_OR_RETURN(last, write_line(row, out, level, w));
  }
  out.push_back(tag::kEnd);  // the pile
  out.push_back(tag::kEnd);  // the line
  return last;
}

}  // namespace

WriteResult write_subarray_node(const Subarray& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  QV_RETURN_IF_ERROR(write_raw("\\begin{subarray}{" + node.columns + "}", out, writer));
  for (std::size_t r = 0; r < node.rows.size(); ++r) {
    if (r > 0) QV_RETURN_IF_ERROR(write_raw("\\\\", out, writer));
    const ExprList& row = node.rows[r];
    for (std::size_t j = 0; j < row.size(); ++j) {
      if (j > 0) QV_RETURN_IF_ERROR(write_raw("&", out, writer));
      QV_RETURN_IF_ERROR(write_visible_cell(row[j], out, size, writer));
    }
  }
  QV_RETURN_IF_ERROR(write_raw("\\end{subarray}", out, writer));
  return WriteOutcome{false, size};
}

WriteResult write_limit_line(const Expr& limit, Bytes& out, SizeLevel level, QvfWriter& writer) {
  if (writer.substack_environment_mode) {
    if (const auto* stack = collapse_single_expr(limit).get_if<Substack>())
      return write_substack_pile_line(*stack, out, level, writer);
  }
  return write_line(limit, out, level, writer);
}

}  // namespace quorvix::qvf
