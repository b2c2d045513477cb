// The alignments (align, alignat): a single cell written as it is, the cells
// in a MATRIX record, or, when rows carry numbering marks, one line per row
// in a pile.
#include <utility>
#include <vector>

#include "qvf/constructs/matrix_layout.h"
#include "qvf/stream/records.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// PILE: tag, options 0, horizontal alignment 1, vertical alignment 1.
void write_alignment_pile_record(Bytes& out) { append_record(out, {tag::kPile, 0x00, 0x01, 0x01}); }

bool annotation_marks_row(const EnvironmentRowAnnotation& a) {
  return a.label || a.has_label || a.no_number_command || a.no_number;
}

// Rows are laid out one line each when there are annotations for at least
// two rows and one of them labels or numbers its row.
bool has_numbered_rows(const EnvironmentTrivia& trivia) {
  const auto& annotations = trivia.row_annotations;
  if (annotations.size() < 2) return false;
  for (const EnvironmentRowAnnotation& a : annotations)
    if (annotation_marks_row(a)) return true;
  return false;
}

// Appends `e` to `items`: the items of a Sequence, any other node itself.
void splice_into(const Expr& e, ExprList& items) {
  if (const auto* s = e.get_if<Sequence>()) {
    items.insert(items.end(), s->items.begin(), s->items.end());
  } else {
    items.push_back(e);
  }
}

WriteResult write_numbered_rows(const Environment& env, Bytes& out, SizeLevel size, QvfWriter& w) {
  const auto& annotations = env.trivia->row_annotations;
  write_alignment_pile_record(out);
  WriteOutcome last{false, size};
  for (std::size_t r = 0; r < env.rows.size(); ++r) {
    if (r > 0) {
      if (last.size_after != size) write_size_record(size, out);
      color_default(out);
    }
    const EnvironmentRowAnnotation* a = r < annotations.size() ? &annotations[r] : nullptr;
    const Expr content = joined_row(env.rows[r], a != nullptr && a->label ? a->label.get() : nullptr);
    QV_ASSIGN_OR_RETURN(last, write_line(content, out, size, w));
  }
  return last;
}

}  // namespace

Expr joined_row(const ExprList& cells, const Expr* label) {
  ExprList items;
  for (const Expr& cell : cells) splice_into(cell, items);
  if (label != nullptr) {
    items.push_back(make_raw("\\tag"));
    splice_into(*label, items);
  }
  if (items.size() == 1) return std::move(items.front());
  return make_sequence(std::move(items));
}

WriteResult write_alignment(const Environment& env, Bytes& out, SizeLevel size, QvfWriter& writer) {
  // Only the alignment the tree starts with is closed by the stream; one
  // nested in its cells closes what it opens.
  const bool closed_by_stream = take(writer.tree_start.alignment_closed_by_stream);
  if (env.kind == EnvironmentKind::Align && env.rows.size() == 1 && env.rows.front().size() == 1) {
    const Expr& cell = env.rows.front().front();
    if (!expr_starts_with_self_opening(cell)) select_black(out, writer);
    return write_expr(cell, out, size, writer);
  }
  WriteOutcome result;
  if (has_numbered_rows(*env.trivia)) {
    QV_ASSIGN_OR_RETURN(result, write_numbered_rows(env, out, size, writer));
  } else {
    // Short rows are completed with empty cells by the record.
    append_record(out, {tag::kLine, 0x00});
    QV_ASSIGN_OR_RETURN(result, write_matrix_record(env.rows, out, size, writer, MatrixMode::Environment));
  }
  // The PILE or LINE opened above.
  if (!closed_by_stream) out.push_back(tag::kEnd);
  return result;
}

}  // namespace quorvix::qvf
