// Two-row piles of the Binomial family: the bare pile, the pile in
// parentheses made by \choose, the binomial of \binom, and the text-style
// forms of the last two.
#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/template_layout.h"
#include "qvf/constructs/templates.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

inline constexpr std::uint8_t kParenthesesVariation = 0x03;

// Closes a fence template: the two parentheses as expanding glyphs, END.
void write_parentheses(Bytes& out) {
  write_expanding_glyph(0x0028, out);
  write_expanding_glyph(0x0029, out);
  out.push_back(tag::kEnd);
}

// The rows of a pile at the pile's size. The upper row's colour comes from
// the caller; the lower row starts in the default colour. Ends with the
// pile's END.
[[gnu::noinline]] Status write_pile_rows(const Expr& upper, const Expr& lower, Bytes& out, SizeLevel size,
                                         QvfWriter& w) {
  QV_ASSIGN_OR_RETURN(const WriteOutcome up, write_line(upper, out, size, w));
  restore_level(up, size, out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome low, write_line(lower, out, size, w));
  restore_level(low, size, out);
  out.push_back(tag::kEnd);
  return Status();
}

}  // namespace

WriteResult write_pile(BinomialKind kind, const Expr& upper, const Expr& lower, Bytes& out, SizeLevel size,
                       QvfWriter& writer) {
  if (kind == BinomialKind::Binom) return write_binom_pile(upper, lower, out, size, writer);
  // Both marks concern the first pile written after them.
  const bool starts_tree = take(writer.tree_start.tree_starts_with_binomial);
  const bool colour_chosen = take(writer.marks.binomial_colour_written);
  const bool fenced = kind == BinomialKind::Choose;
  if (fenced) {
    ensure_black_color_def(out, writer);
    if (!colour_chosen) select_black_without_def(out, writer);
    write_template_record(template_selector::kFence, kParenthesesVariation, out);
    color_default(out);
  } else if (starts_tree) {
    // The tree's colour preamble was left out for this pile.
    ensure_black_color_def(out, writer);
  } else {
    color_default(out);
  }
  write_pile_record(out);
  QV_RETURN_IF_ERROR(write_pile_rows(upper, lower, out, size, writer));
  if (fenced) write_parentheses(out);
  return WriteOutcome{fenced, size};
}

WriteResult write_binom_pile(const Expr& upper, const Expr& lower, Bytes& out, SizeLevel size,
                             QvfWriter& writer) {
  write_template_record(template_selector::kFence, kParenthesesVariation, out);
  select_black(out, writer);
  write_pile_record(out);
  color_default(out);
  QV_RETURN_IF_ERROR(write_pile_rows(upper, lower, out, size, writer));
  color_default(out);
  write_parentheses(out);
  return WriteOutcome{false, size};
}

WriteResult write_binomial_node(const Binomial& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  return write_pile(node.kind, required(node.upper), required(node.lower), out, size, writer);
}

namespace {

// A text-style pile: at full size one size smaller, FULL after it unless
// the caller restores the size; at script sizes the pile as it is.
template <class WritePile>
WriteResult write_textstyle(WritePile&& write_at, Bytes& out, SizeLevel size, bool restore) {
  if (size != SizeLevel::Full) return write_at(size);
  write_size_record(SizeLevel::Subscript, out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome pile, write_at(SizeLevel::Subscript));
  if (!restore) write_size_record(SizeLevel::Full, out);
  return WriteOutcome{pile.black_in_force, SizeLevel::Full};
}

}  // namespace

WriteResult write_textstyle_binom_pile(const Expr& upper, const Expr& lower, Bytes& out, SizeLevel size,
                                       bool restore, QvfWriter& writer) {
  return write_textstyle([&](SizeLevel at) { return write_binom_pile(upper, lower, out, at, writer); }, out,
                         size, restore);
}

WriteResult write_textstyle_parenthesized_pile(const Expr& upper, const Expr& lower, Bytes& out,
                                               SizeLevel size, bool restore, QvfWriter& writer) {
  return write_textstyle(
      [&](SizeLevel at) { return write_pile(BinomialKind::Choose, upper, lower, out, at, writer); }, out,
      size, restore);
}

}  // namespace quorvix::qvf
