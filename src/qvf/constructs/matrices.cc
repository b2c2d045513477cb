// Matrix nodes and the dispatch over the environment kinds: arrays, cases
// and their right-hand form here; alignments and the environments written
// back as TeX in files of their own.
#include "qvf/constructs/matrices.h"

#include <string_view>
#include <utility>
#include <vector>

#include "qvf/constructs/matrix_layout.h"
#include "qvf/constructs/script_layout.h"
#include "qvf/stream/records.h"
#include "qvf/tables/matrix_fences.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// Variations of the fence template: which sides are drawn.
inline constexpr std::uint8_t kFenceLeftOnly = 0x01;
inline constexpr std::uint8_t kFenceRightOnly = 0x02;
inline constexpr std::uint8_t kFenceBothSides = 0x03;
// Selector of the brace fence of cases.
inline constexpr std::uint8_t kBraceFenceSelector = 0x02;

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

// Arrays flush their cells right only for the column specifier "r".
std::uint8_t array_justification(const EnvironmentTrivia& trivia) {
  return trivia.opening_raw && trim(*trivia.opening_raw) == "r" ? kJustifyRight : kJustifyCentre;
}

// The raw text an array keeps in front of a row after the first (a dashed
// rule, or the space before a fill); nullptr when there is none.
const std::string* array_row_prefix(const EnvironmentTrivia& trivia, std::size_t row) {
  if (row == 0 || row >= trivia.row_leading_space.size() || trivia.row_leading_space[row].empty())
    return nullptr;
  return &trivia.row_leading_space[row];
}

// The rows of an array with each kept row prefix moved into the row's first
// cell as raw TeX.
Rows rows_with_prefixes(const Rows& rows, const EnvironmentTrivia& trivia) {
  Rows out = rows;
  for (std::size_t r = 1; r < out.size(); ++r) {
    const std::string* prefix = array_row_prefix(trivia, r);
    if (prefix == nullptr || out[r].empty()) continue;
    ExprList items;
    items.push_back(make_raw(*prefix));
    Expr& first = out[r].front();
    if (auto* s = first.get_if<Sequence>()) {
      for (Expr& item : s->items) items.push_back(std::move(item));
    } else {
      items.push_back(std::move(first));
    }
    first = make_sequence(std::move(items));
  }
  return out;
}

WriteResult write_array(const Environment& env, Bytes& out, SizeLevel size, QvfWriter& w) {
  const EnvironmentTrivia& trivia = *env.trivia;
  const std::uint8_t justification = array_justification(trivia);
  bool prefixed = false;
  for (std::size_t r = 1; r < env.rows.size() && !prefixed; ++r)
    prefixed = array_row_prefix(trivia, r) != nullptr && !env.rows[r].empty();
  if (!prefixed) return write_matrix_record(env.rows, out, size, w, MatrixMode::Plain, justification);
  return write_matrix_record(rows_with_prefixes(env.rows, trivia), out, size, w, MatrixMode::Plain,
                             justification);
}

// cases (brace on the left) and rcases (brace on the right): the cells in a
// MATRIX record inside a one-sided brace fence.
WriteResult write_cases(const Environment& env, bool right, Bytes& out, SizeLevel size, QvfWriter& w) {
  select_black_at_fenced_tree_start(out, w);
  write_template_record(kBraceFenceSelector, right ? kFenceRightOnly : kFenceLeftOnly, out);
  color_default(out);
  append_record(out, {tag::kLine, 0x00});
  QV_RETURN_IF_ERROR(write_matrix_record(env.rows, out, size, w, MatrixMode::Environment));
  out.push_back(tag::kEnd);
  write_expanding_glyph(right ? 0x007D : 0x007B, out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, size};
}

}  // namespace

WriteResult write_matrix_node(const Matrix& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  if (node.kind == MatrixKind::Plain)
    return write_matrix_record(node.rows, out, size, writer, MatrixMode::Plain);
  const MatrixFence* fence = matrix_fence(node.kind);
  if (fence == nullptr) {
    // smallmatrix, and kinds beyond the fenced ones: a plain matrix that
    // selects its own size first.
    write_size_record(size, out);
    return write_matrix_record(node.rows, out, size, writer, MatrixMode::Plain);
  }
  select_black_at_fenced_tree_start(out, writer);
  write_template_record(fence->selector, kFenceBothSides, out);
  color_default(out);
  QV_RETURN_IF_ERROR(write_matrix_slot_line(node.rows, out, size, writer));
  write_matrix_fence_glyphs(fence->left, fence->right, out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, size};
}

WriteResult write_environment_node(const Environment& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  switch (node.kind) {
    case EnvironmentKind::Array: return write_array(node, out, size, writer);
    case EnvironmentKind::Align:
    case EnvironmentKind::Alignat:
    case EnvironmentKind::Reserved: return write_alignment(node, out, size, writer);
    case EnvironmentKind::Split: return write_environment_fallback({"split"}, node, out, size, writer);
    case EnvironmentKind::Aligned: return write_environment_fallback({"aligned"}, node, out, size, writer);
    case EnvironmentKind::Cases: return write_cases(node, /*right=*/false, out, size, writer);
    case EnvironmentKind::Rcases: return write_cases(node, /*right=*/true, out, size, writer);
    case EnvironmentKind::Gather: return write_environment_fallback({"gather"}, node, out, size, writer);
    case EnvironmentKind::Gathered: return write_environment_fallback({"gathered"}, node, out, size, writer);
  }
  internal_failure("internal error: environment kind without a writer");
}

}  // namespace quorvix::qvf
