// Scripts: a base with a subscript, a superscript or both, and the limits
// form a script takes on an n-ary operator sign.
#include "qvf/constructs/scripts.h"

#include "qvf/constructs/script_layout.h"
#include "qvf/stream/records.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// Bases that leave their own size selected although they end at the
// script's level: a bar over or under an integral sign, and a bare integral
// or big operator.
bool base_needs_size_restore(const Expr& base) {
  const Expr& b = descend(base, through::kOneItem | through::kDefaultColor | through::kStyle);
  if (const auto* bar = b.get_if<OverUnderline>()) return bar->body && bar->body->is<IntegralSign>();
  if (const auto* in = b.get_if<Integral>()) return !in->lower && !in->upper && !in->body;
  if (const auto* op = b.get_if<BigOperator>()) return !op->lower && !op->upper && !op->body;
  return false;
}

// Scripts on an n-ary operator sign are written as limits under and over it.
[[gnu::noinline]] WriteResult write_operator_symbol_script(char32_t sign, const Expr* sub, const Expr* sup,
                                                           Bytes& out, SizeLevel size, QvfWriter& w) {
  // The tree may start with this script; then no sequence consumed the mark.
  take(w.line.sequence_skips_colour);
  const SizeLevel sl = sub_level(size);
  write_template_record(selector::kLimitsUnderOver, sup != nullptr ? 0x70 : 0x50, out);
  write_null_line(out);
  write_size_record(sl, out);
  if (sub != nullptr) {
    QV_ASSIGN_OR_RETURN(const WriteOutcome low, write_line(*sub, out, sl, w));
    if (low.size_after != sl) write_size_record(sl, out);
    if (low.black_in_force) color_default(out);
  } else {
    write_null_line(out);
  }
  QV_RETURN_IF_ERROR(write_slot(sup, out, sl, w));

  out.push_back(tag::kSym);
  color_default(out);
  append_record(out, {tag::kLine, 0x00});
  QV_ASSIGN_OR_RETURN(const CharStyle style, resolve_char_style(sign));
  // A Calvane font is defined before the colour record, not between it and the sign.
  if (style.font_selector == FontSelector::CalvaneMathOne)
    ensure_calvane_math_one(out, w);
  else if (style.font_selector == FontSelector::CalvaneMathTwo)
    ensure_calvane_math_two(out, w);
  select_black(out, w);
  write_styled_table_char(style.typeface, style.code, style.has_position, style.position, style.font_selector,
                          out, w);
  append_record(out, {tag::kEnd, tag::kEnd});
  return WriteOutcome{true, sl};
}

// The base of an ordinary script, with the size and colour records that
// separate it from the script template.
[[gnu::noinline]] WriteResult write_script_base(const Expr& base, Bytes& out, SizeLevel size, QvfWriter& w) {
  if (is_empty_sequence(base)) {
    if (w.item.after_item && !w.item.after_raw_item) color_default(out);
    return WriteOutcome{true, size};
  }
  const bool big_symbol = base.is<BigSymbol>();
  // The line preamble may have written the symbol size already.
  if (big_symbol && !take(w.marks.script_sym_written)) out.push_back(tag::kSym);
  QV_ASSIGN_OR_RETURN(const WriteOutcome b, write_expr(base, out, size, w));
  if (big_symbol || b.size_after != size || base_needs_size_restore(base)) write_size_record(size, out);
  if (b.black_in_force && !(w.line.line_opens_itself && !w.item.after_item)) color_default(out);
  return WriteOutcome{b.black_in_force, size};
}

// The script template after the base.
[[gnu::noinline]] WriteResult write_script_template(const Expr* sub, const Expr* sup, Bytes& out,
                                                    SizeLevel size, QvfWriter& w) {
  const SizeLevel sl = sub_level(size);
  const std::uint8_t sel = sub != nullptr && sup != nullptr ? selector::kSubSuperscript
                           : sub != nullptr                 ? selector::kSubscript
                                                            : selector::kSuperscript;
  write_template_record(sel, 0x00, out);
  if (sl != size) write_size_record(sl, out);

  bool black = false;
  if (sub != nullptr) {
    QV_ASSIGN_OR_RETURN(const WriteOutcome low, write_line(*sub, out, sl, w));
    const bool restored = low.size_after != sl;
    if (restored) write_size_record(sl, out);
    // Before the superscript line COLOR 0 follows black; before the null
    // line of a subscript alone only together with a restored size.
    if (low.black_in_force && (sup != nullptr || restored)) color_default(out);
    if (sup == nullptr) write_null_line(out);
  } else {
    write_null_line(out);
  }
  if (sup != nullptr) {
    QV_ASSIGN_OR_RETURN(const WriteOutcome up, write_line(*sup, out, sl, w));
    black = sub != nullptr || up.black_in_force;
  }
  out.push_back(tag::kEnd);
  return WriteOutcome{black, sl};
}

}  // namespace

WriteResult write_script(const Expr& base, const Expr* sub, const Expr* sup, Bytes& out, SizeLevel size,
                         QvfWriter& writer) {
  if (const auto* sign = base.get_if<BigOperatorSymbol>())
    return write_operator_symbol_script(sign->ch, sub, sup, out, size, writer);
  WriteResult based = write_script_base(base, out, size, writer);
  if (!based.ok() || (sub == nullptr && sup == nullptr)) return based;
  return write_script_template(sub, sup, out, size, writer);
}

WriteResult write_script_node(const Script& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  return write_script(required(node.base), node.sub.get(), node.sup.get(), out, size, writer);
}

}  // namespace quorvix::qvf
