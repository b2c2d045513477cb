// Record pieces shared by the matrix, alignment and environment writers.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "common/bytes.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

// How the cells of a MATRIX record are separated.
enum class MatrixMode : std::uint8_t {
  // Alignments and cases: COLOR 0 between cells after black or a colour
  // change, every cell's size restored; cells flush left.
  Environment = 0,
  // A matrix standing in a line: the same cell rules, cells centred.
  Plain = 1,
  // A matrix inside a fence template: COLOR 0 after every cell but the last,
  // whose size is left for the enclosing slot line to restore.
  Fenced = 2,
};

// Horizontal justification byte of the MATRIX record.
inline constexpr std::uint8_t kJustifyLeft = 0;
inline constexpr std::uint8_t kJustifyCentre = 1;
inline constexpr std::uint8_t kJustifyRight = 2;

// The justification a mode writes unless the caller has its own (arrays).
inline std::uint8_t mode_justification(MatrixMode mode) {
  return mode == MatrixMode::Environment ? kJustifyLeft : kJustifyCentre;
}

// The MATRIX record: header, partition bytes, rows x columns cell lines
// (rows shorter than the longest completed with empty lines), END. 256 rows
// or a row of 256 cells fail. The result is the last cell's colour flag and
// the size it left selected (in modes Environment and Plain always `size`).
WriteResult write_matrix_record(const ast::Rows& rows, Bytes& out, SizeLevel size, QvfWriter& writer,
                                MatrixMode mode, std::uint8_t justification);
inline WriteResult write_matrix_record(const ast::Rows& rows, Bytes& out, SizeLevel size, QvfWriter& writer,
                                       MatrixMode mode) {
  return write_matrix_record(rows, out, size, writer, mode, mode_justification(mode));
}

// The slot of a fence template holding a matrix: LINE, the record in mode
// Fenced, END; when the last cell left another size, that size is undone and
// black selected after the line.
WriteResult write_matrix_slot_line(const ast::Rows& rows, Bytes& out, SizeLevel size, QvfWriter& writer);

// The expanding glyphs of a fence, left then right.
void write_matrix_fence_glyphs(std::uint16_t left, std::uint16_t right, Bytes& out);

// The fence of a fenced matrix or of cases at the start of the tree selects
// black itself: the tree wrote no colour in front of it.
void select_black_at_fenced_tree_start(Bytes& out, QvfWriter& writer);

// The cells of one row run together as the content of a single line (a
// Sequence cell gives its items), followed by "\tag" and the label's items
// when `label` is given. A single item stands alone.
ast::Expr joined_row(const ast::ExprList& cells, const ast::Expr* label);

// The alignments (align, alignat): a MATRIX record of padded rows in a LINE,
// or, when rows are numbered or labelled, one pile line per row.
WriteResult write_alignment(const ast::Environment& env, Bytes& out, SizeLevel size, QvfWriter& writer);

// split, aligned, gather and gathered: written back as TeX, the cells visible.
struct EnvironmentFallback {
  std::string_view name;                // the environment's name
  std::string_view separator = "&";     // between cells
  std::string_view row_break = "\\\\";  // between rows
  std::string_view closing = "\\end";   // followed by the name
};
WriteResult write_environment_fallback(const EnvironmentFallback& description, const ast::Environment& env,
                                       Bytes& out, SizeLevel size, QvfWriter& writer);

}  // namespace quorvix::qvf
