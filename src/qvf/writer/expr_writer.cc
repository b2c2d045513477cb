// write_expr: the dispatch over the node kinds, and write_line.
#include "qvf/writer/expr_writer.h"

#include <span>
#include <string>

#include "ast/nesting.h"
#include "qvf/constructs/accents.h"
#include "qvf/constructs/fences.h"
#include "qvf/constructs/matrices.h"
#include "qvf/constructs/scripts.h"
#include "qvf/constructs/templates.h"
#include "qvf/stream/records.h"
#include "qvf/tables/big_operator_glyphs.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

WriteResult black_after(Status st, SizeLevel size) {
  if (!st.ok()) return std::move(st).error();
  return WriteOutcome{true, size};
}

// One overload per node kind: a kind without a writer fails to compile.
struct NodeWriter {
  Bytes& out;
  SizeLevel size;
  QvfWriter& w;

  WriteResult operator()(const Sequence& n) const {
    return write_sequence_items(ItemList(std::span<const Expr>(n.items)), out, size, w);
  }
  WriteResult operator()(const DefaultColor& n) const {
    color_default(out);
    return write_expr(required(n.body), out, size, w);
  }
  WriteResult operator()(const Hybrid& n) const { return write_hybrid(n, out, size, w); }
  WriteResult operator()(const Char& n) const { return black_after(write_char(n.ch, out, w), size); }
  WriteResult operator()(const SizedDelimiter& n) const {
    return black_after(write_char(n.ch, out, w), size);
  }
  WriteResult operator()(const Group& n) const { return write_expr(required(n.body), out, size, w); }
  WriteResult operator()(const CommandSymbol& n) const {
    return black_after(write_command_symbol_with_embellishments(n.name, n.ch, {}, out, w), size);
  }
  WriteResult operator()(const BigSymbol& n) const {
    if (n.ch == U'\u22C0') return black_after(write_named_big_operator_glyph("bigwedge", out), size);
    if (n.ch == U'\u22C1') return black_after(write_named_big_operator_glyph("bigvee", out), size);
    return black_after(write_char(n.ch, out, w), size);
  }
  WriteResult operator()(const BigOperatorSymbol& n) const {
    if (n.ch == U'\u2211') return black_after(write_named_big_operator_glyph("sum", out), size);
    return black_after(write_char(n.ch, out, w), size);
  }
  WriteResult operator()(const Empty&) const {
    append_record(out, {tag::kEnd, tag::kEnd});
    return WriteOutcome{false, size};
  }
  WriteResult operator()(const RawTex& n) const {
    QV_RETURN_IF_ERROR(write_text_code_units(n.text, 0x80, out, w.source_encoding));
    return WriteOutcome{false, size};
  }
  WriteResult operator()(const Space& n) const {
    color_default(out);
    write_space_without_color(n.width, out);
    return WriteOutcome{false, size};
  }
  WriteResult operator()(const FunctionName& n) const { return write_function_name(n.name, out, size, w); }
  WriteResult operator()(const TextRun& n) const {
    return black_after(write_text_code_units(n.text, 0, out, w.source_encoding), size);
  }
  WriteResult operator()(const Color& n) const { return write_color(n, out, size, w); }
  WriteResult operator()(const Style& n) const { return write_style(n, out, size, w); }
  WriteResult operator()(const Font& n) const {
    return write_font_expr(n.font, required(n.body), out, size, w);
  }
  WriteResult operator()(const Accent& n) const { return write_accent_node(n, out, size, w); }
  WriteResult operator()(const ArrowAccent& n) const { return write_arrow_accent_node(n, out, size, w); }
  WriteResult operator()(const OverUnderline& n) const { return write_over_underline_node(n, out, size, w); }
  WriteResult operator()(const Strike& n) const { return write_strike_node(n, out, size, w); }
  WriteResult operator()(const Not& n) const { return write_not_node(n, out, size, w); }
  WriteResult operator()(const Fraction& n) const { return write_fraction_node(n, out, size, w); }
  WriteResult operator()(const Sqrt& n) const { return write_sqrt_node(n, out, size, w); }
  WriteResult operator()(const Root& n) const { return write_root_node(n, out, size, w); }
  WriteResult operator()(const BigOperator& n) const { return write_big_operator_node(n, out, size, w); }
  WriteResult operator()(const BigOperatorBody& n) const {
    return write_big_operator_body_node(n, out, size, w);
  }
  WriteResult operator()(const Limit& n) const { return write_limit_node(n, out, size, w); }
  WriteResult operator()(const MathOp& n) const { return write_math_op_node(n, out, size, w); }
  WriteResult operator()(const IntegralSign& n) const { return write_integral_sign_node(n, out, size, w); }
  WriteResult operator()(const Integral& n) const { return write_integral_node(n, out, size, w); }
  WriteResult operator()(const Binomial& n) const { return write_binomial_node(n, out, size, w); }
  WriteResult operator()(const Brace& n) const { return write_brace_node(n, out, size, w); }
  WriteResult operator()(const Stackrel& n) const { return write_stackrel_node(n, out, size, w); }
  WriteResult operator()(const Underset& n) const { return write_underset_node(n, out, size, w); }
  WriteResult operator()(const XArrow& n) const { return write_xarrow_node(n, out, size, w); }
  WriteResult operator()(const Substack&) const {
    // Stacked lines only make sense as the limit of a big operator.
    return black_after(write_text_code_units(kTranslationFailed, 0, out, w.source_encoding), size);
  }
  WriteResult operator()(const Subarray& n) const { return write_subarray_node(n, out, size, w); }
  WriteResult operator()(const Matrix& n) const { return write_matrix_node(n, out, size, w); }
  WriteResult operator()(const Environment& n) const { return write_environment_node(n, out, size, w); }
  WriteResult operator()(const Delimited& n) const { return write_delimited_node(n, out, size, w); }
  WriteResult operator()(const OneSidedDelimited& n) const {
    return write_one_sided_delimited_node(n, out, size, w);
  }
  WriteResult operator()(const Script& n) const { return write_script_node(n, out, size, w); }
};

// Symbol-size record and flags for what a line starts with.
void write_line_symbol_size(const Expr& expr, Bytes& out, QvfWriter& w) {
  const Expr& first = descend(expr, through::kSequence | through::kStyle);
  if (const auto* s = first.get_if<Script>(); s && s->base && s->base->is<BigSymbol>()) {
    out.push_back(tag::kSym);
    w.marks.script_sym_written = true;
    return;
  }
  if (first.is<SizedDelimiter>() || first.is<Group>()) {
    out.push_back(tag::kSym);
    w.marks.leading_sym_written = true;
    return;
  }
  const Expr& one = descend(expr, through::kOneItem | through::kStyle);
  if (one.is<Limit>() || is_math_op_with_limit(one)) {
    w.marks.limit_before_raw = true;
    return;
  }
  if (descend(expr, through::kOneItem | through::kDefaultColor | through::kStyle).is<IntegralSign>() ||
      expr_starts_with_standalone_big_glyph(expr))
    out.push_back(tag::kSym);
}

bool starts_with_stackrel(const Expr& expr) { return descend(expr, through::kUsual).is<Stackrel>(); }

}  // namespace

WriteResult write_expr(const Expr& expr, Bytes& out, SizeLevel size, QvfWriter& writer) {
  if (writer.depth >= kMaxWriterDepth) return Error{std::string(kNestedTooDeeply), /*fatal=*/true};
  const ScopedValue<std::size_t> nested(writer.depth, writer.depth + 1);
  return std::visit(NodeWriter{out, size, writer}, expr.node);
}

WriteResult write_line(const Expr& expr, Bytes& out, SizeLevel size, QvfWriter& writer) {
  append_record(out, {tag::kLine, 0x00});
  if (const auto* seq = expr.get_if<Sequence>(); seq && seq->items.empty()) {
    out.push_back(tag::kEnd);
    return WriteOutcome{false, size};
  }

  if (LeadingSpaces lead = leading_space_rest(expr); !lead.spaces.empty()) {
    for (const Expr& sp : lead.spaces) write_space_without_color(sp.as<Space>().width, out);
    if (lead.rest.empty()) {
      out.push_back(tag::kEnd);
      return WriteOutcome{false, size};
    }
    select_black_without_def(out, writer);
    WriteResult rest = write_sequence_items(ItemList(lead.rest), out, size, writer);
    if (rest.ok()) out.push_back(tag::kEnd);
    return rest;
  }

  if (const LeadingCalvaneFonts calvane = leading_calvane_fonts(expr); calvane.math_one)
    ensure_calvane_math_one(out, writer);
  else if (calvane.math_two)
    ensure_calvane_math_two(out, writer);
  else if (calvane.fraktur)
    ensure_calvane_fraktur(out, writer);

  write_line_symbol_size(expr, out, writer);

  const bool opens_itself = expr_starts_with_self_opening(expr);
  if (!opens_itself) select_black(out, writer);
  // A sequence that opens itself writes no colour in front of its first item.
  const LineFlags line{opens_itself,
                       writer.line.sequence_skips_colour || (opens_itself && expr.is<Sequence>())};
  const ScopedValue<LineFlags> line_scope(writer.line, line);

  if (starts_with_stackrel(expr)) writer.marks.stackrel_in_line = true;

  WriteResult result = write_expr(expr, out, size, writer);
  if (result.ok()) out.push_back(tag::kEnd);
  return result;
}

void define_leading_calvane_font(const Expr& expr, Bytes& out, QvfWriter& writer) {
  if (const LeadingCalvaneFonts calvane = leading_calvane_fonts(expr); calvane.math_one)
    ensure_calvane_math_one_for_expr(expr, out, writer);
  else if (calvane.math_two)
    ensure_calvane_math_two(out, writer);
  else if (calvane.fraktur)
    ensure_calvane_fraktur(out, writer);
}

void define_leading_calvane_math_font(const Expr& expr, Bytes& out, QvfWriter& writer) {
  if (const LeadingCalvaneFonts calvane = leading_calvane_fonts(expr); calvane.math_one)
    ensure_calvane_math_one_for_expr(expr, out, writer);
  else if (calvane.math_two)
    ensure_calvane_math_two(out, writer);
}

WriteResult write_hybrid(const Hybrid& hybrid, Bytes& out, SizeLevel size, QvfWriter& writer) {
  WriteOutcome state{false, size};
  for (const HybridPart& part : hybrid.parts) {
    if (const auto* raw = std::get_if<HybridRaw>(&part)) {
      if (state.black_in_force) color_default(out);
      QV_RETURN_IF_ERROR(write_text_code_units(raw->text, 0x80, out, writer.source_encoding));
      state = WriteOutcome{false, size};
      continue;
    }
    const Expr& e = required(std::get<HybridVisible>(part).expr);
    if (!state.black_in_force && !expr_starts_with_self_opening(e)) {
      define_leading_calvane_font(e, out, writer);
      select_black(out, writer);
    }
    QV_ASSIGN_OR_RETURN(state, write_expr(e, out, size, writer));
  }
  return state;
}

}  // namespace quorvix::qvf
