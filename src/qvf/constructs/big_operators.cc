// Big operators (sum, product, coproduct, union, intersection): limits under
// and over the sign, beside it, or a body without limits.
#include <array>

#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/scripts.h"
#include "qvf/stream/records.h"
#include "qvf/tables/big_operator_glyphs.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

std::uint8_t operator_selector(BigOperatorKind kind) {
  return static_cast<std::uint8_t>(selector::kBigOperator + static_cast<std::uint8_t>(kind));
}

std::uint8_t upper_bit(const Expr* upper) { return upper != nullptr ? 0x20 : 0x00; }

bool contains_substack(const Expr* e) { return e != nullptr && expr_contains_substack(*e); }

// The node reached through the last items of non-empty sequences (and Style
// bodies when asked).
const Expr& last_item(const Expr& e, bool through_styles) {
  const Expr* cur = &e;
  for (;;) {
    if (const auto* s = cur->get_if<Sequence>(); s && !s->items.empty()) {
      cur = &s->items.back();
    } else if (const auto* st = cur->get_if<Style>(); through_styles && st && st->body) {
      cur = st->body.get();
    } else {
      return *cur;
    }
  }
}

// An operand ending in a superscript (without subscript) whose own
// superscript ends in a script.
bool ends_in_script_superscript(const Expr& operand) {
  const auto* s = last_item(operand, true).get_if<Script>();
  if (s == nullptr || s->sub || !s->sup) return false;
  return last_item(*s->sup, true).is<Script>();
}

bool is_bold_one(const Font& f) {
  if (f.font != FontKind::Bold || !f.body) return false;
  const auto* c = collapse_single_expr(*f.body).get_if<Char>();
  return c != nullptr && c->ch == U'1';
}

// Operands after which the limits below need their size selected, when no
// upper limit follows.
bool operand_leaves_own_size(const Expr& operand) {
  const Expr& last = last_item(operand, false);
  if (last.is<Char>() || last.is<Delimited>()) return true;
  if (const auto* f = last.get_if<Font>()) return is_bold_one(*f);
  if (last.is<Fraction>()) return expr_has_template_structure(last);
  if (const auto* s = last.get_if<Script>()) return s->sup && s->base && s->base->is<Delimited>();
  return false;
}

// Operator with its operand and limits under and over it.
[[gnu::noinline]] WriteResult write_operand_big_op(BigOperatorKind kind, const Expr& operand,
                                                   const Expr* lower, const Expr* upper, Bytes& out,
                                                   SizeLevel size, QvfWriter& w) {
  const SizeLevel sl = sub_level(size);
  if (contains_raw_tex(operand)) select_black(out, w);
  write_template_record(operator_selector(kind), static_cast<std::uint8_t>(0x50 | upper_bit(upper)), out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome body, write_line(operand, out, size, w));
  if (upper != nullptr && body.size_after != sl) {
    write_size_record(sl, out);
    color_default(out);
  } else {
    const bool restore = upper != nullptr
                             ? expr_contains_big_op(operand) || ends_in_script_superscript(operand)
                             : operand_leaves_own_size(operand);
    if (restore) write_size_record(sl, out);
    if (body.black_in_force) color_default(out);
  }
  QV_ASSIGN_OR_RETURN(const bool black,
                      write_limit_slots(lower, upper, out, sl, /*black_before_missing_upper=*/true, w));
  out.push_back(tag::kSym);
  if (!black) select_black(out, w);
  write_glyph(big_operator_glyph(kind), out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, sl};
}

// The limits under and over a bare sign: selector 22, or 21 for the text style.
WriteResult write_bodyless_limits_template(std::uint8_t sel, std::uint8_t variation, const NamedGlyph& glyph,
                                           const Expr* lower, const Expr* upper, Bytes& out, SizeLevel size,
                                           QvfWriter& w) {
  const SizeLevel sl = sub_level(size);
  write_template_record(sel, static_cast<std::uint8_t>(variation | upper_bit(upper)), out);
  write_null_line(out);
  write_size_record(sl, out);
  QV_RETURN_IF_ERROR(write_limit_slots(lower, upper, out, sl, /*black_before_missing_upper=*/false, w));
  out.push_back(tag::kSym);
  color_default(out);
  write_glyph_line(glyph, out, w);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, sl};
}

// The size a text-style template reports, writing FULL after it where the
// full size comes back.
WriteOutcome finish_text_style(WriteOutcome r, Bytes& out, SizeLevel size, bool restore) {
  if (restore) return WriteOutcome{r.black_in_force, size};
  if (size == SizeLevel::Full) {
    write_size_record(SizeLevel::Full, out);
    return WriteOutcome{r.black_in_force, SizeLevel::Full};
  }
  return WriteOutcome{r.black_in_force, SizeLevel::SubSubscript};
}

// A big operator whose limits go beside the sign: the text-style form,
// followed by the operand as the next item of a sequence.
[[gnu::noinline]] WriteResult write_no_limits_big_op(const BigOperator& node, Bytes& out, SizeLevel size,
                                                     QvfWriter& w) {
  if (!node.body) {
    // The stand-in is a Style of level Text, whose writer takes the tree-start mark.
    const bool restore = take(w.tree_start.style_at_tree_start);
    return write_textstyle_bodyless_big_op(node.op, node.lower.get(), node.upper.get(), out, size, restore,
                                           w);
  }
  const Expr stand_in = no_limits_big_op_expr(node);
  const std::array<const Expr*, 2> items{&stand_in, node.body.get()};
  return write_sequence_items(ItemList(std::span<const Expr* const>(items)), out, size, w);
}

}  // namespace

bool expr_contains_substack(const Expr& e) {
  return any_in_subtree(e, [](const Expr& n) { return n.is<Substack>(); });
}

bool expr_has_template_structure(const Expr& e) {
  return std::visit(
      [](const auto& n) {
        using T = std::decay_t<decltype(n)>;
        return std::is_same_v<T, Fraction> || std::is_same_v<T, Sqrt> || std::is_same_v<T, Root> ||
               std::is_same_v<T, Strike> || std::is_same_v<T, Binomial> || std::is_same_v<T, Brace> ||
               std::is_same_v<T, Stackrel> || std::is_same_v<T, Underset> || std::is_same_v<T, XArrow> ||
               std::is_same_v<T, BigOperator> || std::is_same_v<T, BigOperatorBody> ||
               std::is_same_v<T, Limit> || std::is_same_v<T, MathOp> || std::is_same_v<T, Integral> ||
               std::is_same_v<T, Script> || std::is_same_v<T, Matrix> || std::is_same_v<T, Environment>;
      },
      e.node);
}

Expr no_limits_big_op_expr(const BigOperator& node) {
  BigOperator bare;
  bare.lower = node.lower;
  bare.upper = node.upper;
  bare.op = node.op;
  bare.nolimits = false;
  return Expr(Style{box(Expr(std::move(bare))), StyleKind::Text});
}

WriteResult write_big_op(BigOperatorKind kind, const Expr* operand, const Expr* lower, const Expr* upper,
                         Bytes& out, SizeLevel size, QvfWriter& writer) {
  // Stacked limits belong to environments; anywhere else the operator is
  // not translated.
  if (!writer.substack_environment_mode && (contains_substack(lower) || contains_substack(upper))) {
    QV_RETURN_IF_ERROR(write_text_code_units(kTranslationFailed, 0, out, writer.source_encoding));
    return WriteOutcome{true, size};
  }
  if (operand != nullptr) return write_operand_big_op(kind, *operand, lower, upper, out, size, writer);
  // The tree may start with this operator; then no sequence consumed the mark.
  if (lower != nullptr || upper != nullptr) take(writer.line.sequence_skips_colour);
  return write_bodyless_limits_template(selector::kLimitsUnderOver, 0x50, bodyless_big_operator_glyph(kind),
                                        lower, upper, out, size, writer);
}

WriteResult write_textstyle_bodyless_big_op(BigOperatorKind kind, const Expr* lower, const Expr* upper,
                                            Bytes& out, SizeLevel size, bool restore, QvfWriter& writer) {
  QV_ASSIGN_OR_RETURN(const WriteOutcome r, write_bodyless_limits_template(selector::kTextStyleLimits, 0x10,
                                                                           bodyless_big_operator_glyph(kind),
                                                                           lower, upper, out, size, writer));
  return finish_text_style(r, out, size, restore);
}

WriteResult write_textstyle_bodyless_integral(const Expr* lower, const Expr* upper, Bytes& out,
                                              SizeLevel size, bool restore, QvfWriter& writer) {
  QV_ASSIGN_OR_RETURN(const WriteOutcome r,
                      write_bodyless_limits_template(selector::kTextStyleLimits, 0x10, integral_glyph(),
                                                     lower, upper, out, size, writer));
  return finish_text_style(r, out, size, restore);
}

WriteResult write_bodyless_integral_limits(const Expr* lower, const Expr* upper, Bytes& out, SizeLevel size,
                                           QvfWriter& writer) {
  return write_bodyless_limits_template(selector::kLimitsUnderOver, 0x50, integral_glyph(), lower, upper, out,
                                        size, writer);
}

WriteResult write_fallback_big_op_body(BigOperatorKind kind, const Expr& body, Bytes& out, SizeLevel size,
                                       QvfWriter& writer) {
  if (contains_raw_tex(body)) select_black(out, writer);
  write_template_record(operator_selector(kind), 0x40, out);
  color_default(out);
  append_record(out, {tag::kLine, 0x00});
  select_black(out, writer);
  QV_RETURN_IF_ERROR(write_expr(body, out, size, writer));
  out.push_back(tag::kEnd);
  // Null lower and upper slots.
  write_null_line(out);
  write_null_line(out);
  out.push_back(tag::kSym);
  write_glyph(big_operator_glyph(kind), out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, sub_level(size)};
}

WriteResult write_big_operator_node(const BigOperator& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const bool limited = node.lower || node.upper;
  if (!node.nolimits && limited) {
    // A mark left for a limit template at the end of an item is this one's.
    take(writer.marks.limit_before_raw);
  }
  if (node.nolimits && limited) return write_no_limits_big_op(node, out, size, writer);
  return write_big_op(node.op, node.body.get(), node.lower.get(), node.upper.get(), out, size, writer);
}

WriteResult write_big_operator_body_node(const BigOperatorBody& node, Bytes& out, SizeLevel size,
                                         QvfWriter& writer) {
  return write_fallback_big_op_body(node.op, required(node.body), out, size, writer);
}

}  // namespace quorvix::qvf
