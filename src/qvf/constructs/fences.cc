// Stretchy fences. The body is one slot at the fence's size, drawn in the
// default colour; the fence glyphs follow it in black.
#include "qvf/constructs/fences.h"

#include <string>

#include "common/utf8.h"
#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/template_layout.h"
#include "qvf/tables/fence_glyphs.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

inline constexpr std::uint8_t kBothSidesVariation = 0x03;
// A bar on the left and an angle bracket on the right have a template of
// their own, with an empty slot before the body.
inline constexpr std::uint8_t kBarAngleSelector = 0x1E;
inline constexpr std::uint8_t kBarAngleVariation = 0x02;
inline constexpr std::uint16_t kBarAngleRightGlyph = 0x232A;

[[gnu::noinline]] Error fence_error(std::string message, char32_t a, char32_t b = 0) {
  append_utf8(message, a);
  if (b != 0) append_utf8(message, b);
  return make_error(std::move(message));
}

Status check_in_bmp(char32_t c) {
  if (c >= 0x10000) return fence_error("delimiter is outside BMP: ", c);
  return Status();
}

// COLOR 0, the body line at `size`, then that size and black selected again
// where the body left them otherwise.
[[gnu::noinline]] Status write_body_slot(const Expr& body, Bytes& out, SizeLevel size, QvfWriter& writer) {
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome line, write_line(body, out, size, writer));
  restore_level(line, size, out);
  if (!line.black_in_force) select_black(out, writer);
  return Status();
}

}  // namespace

Result<std::uint8_t> delimiter_selector(char32_t left, char32_t right) {
  if (const std::optional<std::uint8_t> selector = fence_pair_selector(left, right)) return *selector;
  return fence_error("unsupported dynamic delimiter pair: ", left, right);
}

Status write_delimiter_glyph_pair(char32_t left, char32_t right, Bytes& out) {
  QV_RETURN_IF_ERROR(check_in_bmp(left));
  QV_RETURN_IF_ERROR(check_in_bmp(right));
  write_expanding_glyph(fence_glyph(left, true), out);
  write_expanding_glyph(fence_glyph(right, false), out);
  return Status();
}

WriteResult write_delimited(char32_t left, char32_t right, const Expr& body, Bytes& out, SizeLevel size,
                            QvfWriter& writer) {
  if (left == U'|' && right == U'\u3009') {
    write_template_record(kBarAngleSelector, kBarAngleVariation, out);
    write_null_line(out);
    QV_RETURN_IF_ERROR(write_body_slot(body, out, size, writer));
    write_expanding_glyph(fence_glyph(U'|', true), out);
    write_expanding_glyph(kBarAngleRightGlyph, out);
  } else {
    QV_ASSIGN_OR_RETURN(const std::uint8_t selector, delimiter_selector(left, right));
    write_template_record(selector, kBothSidesVariation, out);
    QV_RETURN_IF_ERROR(write_body_slot(body, out, size, writer));
    QV_RETURN_IF_ERROR(write_delimiter_glyph_pair(left, right, out));
  }
  out.push_back(tag::kEnd);
  return WriteOutcome{true, size};
}

WriteResult write_one_sided_delimited(DelimiterSide side, char32_t delimiter, const Expr& body, Bytes& out,
                                      SizeLevel size, QvfWriter& writer) {
  const std::optional<std::uint8_t> selector = fence_side_selector(delimiter);
  if (!selector) return fence_error("unsupported one-sided delimiter: ", delimiter);
  QV_RETURN_IF_ERROR(check_in_bmp(delimiter));
  // Variation 1: only the left fence is drawn; 2: only the right one.
  const bool left = side == DelimiterSide::Left;
  write_template_record(*selector, static_cast<std::uint8_t>(left ? 0x01 : 0x02), out);
  QV_RETURN_IF_ERROR(write_body_slot(body, out, size, writer));
  write_expanding_glyph(fence_glyph(delimiter, left), out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, size};
}

WriteResult write_delimited_node(const Delimited& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  return write_delimited(node.left, node.right, required(node.body), out, size, writer);
}

WriteResult write_one_sided_delimited_node(const OneSidedDelimited& node, Bytes& out, SizeLevel size,
                                           QvfWriter& writer) {
  return write_one_sided_delimited(node.side, node.delimiter, required(node.body), out, size, writer);
}

}  // namespace quorvix::qvf
