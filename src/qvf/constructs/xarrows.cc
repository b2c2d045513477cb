// Extensible arrows: a label above and an optional label below, one size
// smaller, and the arrow as an expanding glyph stretched under them.
#include <string>

#include "common/internal_error.h"
#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/template_layout.h"
#include "qvf/constructs/templates.h"
#include "qvf/tables/xarrow_glyphs.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

inline constexpr std::uint8_t kLabelledVariation = 0x04;
inline constexpr std::uint8_t kLowerLabelVariation = 0x08;

[[gnu::noinline]] const XArrowGlyph& arrow_glyph(XArrowKind kind) {
  const XArrowGlyph* glyph = xarrow_glyph(kind);
  if (glyph == nullptr)
    internal_failure("internal error: extensible arrow of unknown kind " +
                     std::to_string(static_cast<unsigned>(kind)));
  return *glyph;
}

// One label line at `level`, the level selected again after it if needed.
[[gnu::noinline]] Status write_label(const Expr& label, Bytes& out, SizeLevel level, QvfWriter& w) {
  QV_ASSIGN_OR_RETURN(const WriteOutcome l, write_line(label, out, level, w));
  restore_level(l, level, out);
  return Status();
}

}  // namespace

WriteResult write_xarrow_node(const XArrow& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const XArrowGlyph& glyph = arrow_glyph(node.kind);
  const Expr* under = node.under.get();
  const SizeLevel level = script_level(size);

  // First in its sequence the arrow selects black itself.
  if (!writer.item.after_item) select_black(out, writer);
  const auto variation =
      static_cast<std::uint8_t>(glyph.kind_bits | kLabelledVariation | (under ? kLowerLabelVariation : 0));
  write_template_record(template_selector::kExtensibleArrow, variation, out);
  write_size_record(level, out);
  color_default(out);
  QV_RETURN_IF_ERROR(write_label(required(node.over), out, level, writer));
  if (under != nullptr) {
    color_default(out);
    QV_RETURN_IF_ERROR(write_label(*under, out, level, writer));
  } else {
    write_null_line(out);
  }
  if (size != level) write_size_record(size, out);
  write_expanding_glyph(glyph.glyph, out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, size};
}

}  // namespace quorvix::qvf
