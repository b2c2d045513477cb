// The glyphs drawn by the fence templates around matrices and cases.
#include "qvf/constructs/matrix_layout.h"
#include "qvf/stream/records.h"
#include "qvf/writer/colors.h"

namespace quorvix::qvf {

void write_matrix_fence_glyphs(std::uint16_t left, std::uint16_t right, Bytes& out) {
  write_expanding_glyph(left, out);
  write_expanding_glyph(right, out);
}

void select_black_at_fenced_tree_start(Bytes& out, QvfWriter& writer) {
  if (take(writer.tree_start.fenced_matrix_at_tree_start)) select_black(out, writer);
}

}  // namespace quorvix::qvf
