// Style nodes: \displaystyle, \textstyle, \scriptstyle, \scriptscriptstyle.
#include "qvf/constructs/scripts.h"
#include "qvf/constructs/templates.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// The size level a style selects.
SizeLevel style_level(StyleKind k) {
  switch (k) {
    case StyleKind::Display:
    case StyleKind::Text: return SizeLevel::Full;
    case StyleKind::Script: return SizeLevel::Subscript;
    case StyleKind::ScriptScript: return SizeLevel::SubSubscript;
  }
  return SizeLevel::Full;
}

bool is_bodyless_limited_big_op(const Expr& e) {
  const auto* op = e.get_if<BigOperator>();
  return op != nullptr && !op->body && (op->lower || op->upper);
}

// A script-level style whose body starts with spaces: the spaces stay at the
// current size and without colour, the rest follows at the style's level.
WriteResult write_spaced_script_style(LeadingSpaces lead, Bytes& out, SizeLevel c, SizeLevel level,
                                      bool at_tree_start, QvfWriter& w) {
  for (const Expr& sp : lead.spaces) write_space_without_color(sp.as<Space>().width, out);
  if (lead.rest.empty()) return WriteOutcome{false, c};
  const bool after_raw = w.item.after_raw_item;
  bool size_written = false;
  if (!at_tree_start && !after_raw && c != level) {
    write_size_record(level, out);
    size_written = true;
  }
  if (after_raw && !expr_starts_with_self_opening(lead.rest.front())) select_black(out, w);
  QV_ASSIGN_OR_RETURN(WriteOutcome rest,
                      write_sequence_items(ItemList(lead.rest), out, after_raw ? c : level, w));
  if (size_written && rest.size_after != c) write_size_record(c, out);
  return WriteOutcome{rest.black_in_force, size_written ? c : rest.size_after};
}

}  // namespace

WriteResult write_style(const Style& style, Bytes& out, SizeLevel c, QvfWriter& w) {
  const Expr& b = collapse_single_expr(required(style.body));
  const bool t = take(w.tree_start.style_at_tree_start);

  if (style.style == StyleKind::Text) {
    if (const auto* f = b.get_if<Fraction>())
      return write_textstyle_fraction(required(f->numerator), required(f->denominator), out, c, t, w);
    if (const auto* op = b.get_if<BigOperator>(); op && is_bodyless_limited_big_op(b))
      return write_textstyle_bodyless_big_op(op->op, op->lower.get(), op->upper.get(), out, c, t, w);
    if (const auto* bin = b.get_if<Binomial>(); bin && bin->kind == BinomialKind::Choose)
      return write_textstyle_parenthesized_pile(required(bin->upper), required(bin->lower), out, c, t, w);
    if (const auto* bin = b.get_if<Binomial>(); bin && bin->kind == BinomialKind::Binom)
      return write_textstyle_binom_pile(required(bin->upper), required(bin->lower), out, c, t, w);
  }

  if (style.style == StyleKind::Display) {
    if (b.is<Fraction>() && c != SizeLevel::Full) return write_expr(b, out, c, w);
    const auto* bin = b.get_if<Binomial>();
    if ((is_bodyless_limited_big_op(b) || (bin != nullptr && bin->kind != BinomialKind::Pile)) &&
        (c != SizeLevel::Full || t))
      return write_expr(b, out, c, w);
  }

  if (t && !b.is<Sequence>() && !expr_starts_with_self_opening(b)) select_black(out, w);

  const SizeLevel level = style_level(style.style);
  if (style.style == StyleKind::Script || style.style == StyleKind::ScriptScript) {
    if (LeadingSpaces lead = leading_space_rest(b); !lead.spaces.empty())
      return write_spaced_script_style(lead, out, c, level, t, w);
  }

  const bool size_written = !t && c != level;
  if (size_written) write_size_record(level, out);
  QV_ASSIGN_OR_RETURN(WriteOutcome body, write_expr(b, out, level, w));
  if (size_written && body.size_after != c) write_size_record(c, out);
  return WriteOutcome{body.black_in_force, size_written ? c : body.size_after};
}

}  // namespace quorvix::qvf
