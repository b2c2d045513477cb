// The MATRIX record: its header, the partition bytes and the cell lines, with
// the colour and size records that go between cells in each mode.
#include <algorithm>
#include <cstddef>

#include "qvf/constructs/matrices.h"
#include "qvf/constructs/matrix_layout.h"
#include "qvf/stream/records.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// Rows and columns are one byte each in the record.
inline constexpr std::size_t kMaxExtent = 255;

// What the cell before the current one left behind.
struct PreviousCell {
  bool missing = false;        // the row was too short for it
  bool black = false;          // its colour flag
  bool colour_change = false;  // it selects a named colour
};

void write_empty_line(Bytes& out) { append_record(out, {tag::kLine, 0x00, tag::kEnd}); }

}  // namespace

bool expr_contains_color_change(const Expr& e) {
  return any_in_subtree(e, [](const Expr& n) {
    const auto* c = n.get_if<Color>();
    return c != nullptr && named_color_def(c->name) != nullptr;
  });
}

WriteResult write_matrix_record(const Rows& rows, Bytes& out, SizeLevel size, QvfWriter& writer,
                                MatrixMode mode, std::uint8_t justification) {
  if (rows.size() > kMaxExtent) return Error{"matrix has too many rows"};
  std::size_t columns = 0;
  for (const ExprList& row : rows) columns = std::max(columns, row.size());
  if (columns > kMaxExtent) return Error{"matrix has too many columns"};

  // tag, options, vertical alignment, horizontal and vertical justification,
  // rows, columns; then the row and column partition bytes, all clear.
  append_record(out, {tag::kMatrix, 0x00, 0x01, justification, 0x01, static_cast<std::uint8_t>(rows.size()),
                      static_cast<std::uint8_t>(columns)});
  out.insert(out.end(), (rows.size() + 4) / 4 + (columns + 4) / 4, std::uint8_t{0});

  const bool fenced = mode == MatrixMode::Fenced;
  const std::size_t cells = rows.size() * columns;
  std::size_t index = 0;
  PreviousCell prev;
  WriteOutcome last{false, size};
  for (const ExprList& row : rows) {
    for (std::size_t i = 0; i < columns; ++i, ++index) {
      const bool last_cell = index + 1 == cells;
      if (!fenced && index > 0 && !prev.missing && (prev.black || prev.colour_change)) color_default(out);
      if (i >= row.size()) {
        write_empty_line(out);
        prev = PreviousCell{true, false, false};
        last = WriteOutcome{false, size};
        continue;
      }
      const Expr& cell = row[i];
      if (is_empty_sequence(cell)) {
        write_empty_line(out);
        last = WriteOutcome{false, size};
      } else {
        QV_ASSIGN_OR_RETURN(last, write_line(cell, out, size, writer));
        if (last.size_after != size && !(fenced && last_cell)) {
          write_size_record(size, out);
          last.size_after = size;
        }
      }
      prev = PreviousCell{false, last.black_in_force, expr_contains_color_change(cell)};
      if (fenced && !last_cell) color_default(out);
    }
  }
  out.push_back(tag::kEnd);
  return last;
}

WriteResult write_matrix_slot_line(const Rows& rows, Bytes& out, SizeLevel size, QvfWriter& writer) {
  append_record(out, {tag::kLine, 0x00});
  QV_ASSIGN_OR_RETURN(const WriteOutcome matrix,
                      write_matrix_record(rows, out, size, writer, MatrixMode::Fenced));
  out.push_back(tag::kEnd);
  if (matrix.size_after != size) {
    write_size_record(size, out);
    select_black(out, writer);
  }
  return WriteOutcome{matrix.black_in_force, size};
}

}  // namespace quorvix::qvf
