// Horizontal braces over or under a body (\overbrace, \underbrace), with an
// optional label on the far side of the brace.
#include <cstddef>

#include "common/internal_error.h"
#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/template_layout.h"
#include "qvf/constructs/templates.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// The expanding glyph of the over brace; the under brace is the next code.
inline constexpr std::uint16_t kOverBraceGlyph = 0xFE37;

template <std::size_t N>
const Expr& sign_of_kind(const Expr (&signs)[N], std::size_t kind) {
  if (kind >= N) internal_failure("internal error: operator kind outside its enumeration");
  return signs[kind];
}

// A bare big operator under a brace is drawn as its sign alone, the n-ary
// sum as an operator sign and the others as enlarged symbols.
[[gnu::noinline]] const Expr& operator_sign(BigOperatorKind kind) {
  static const Expr kSigns[] = {
      Expr(BigOperatorSymbol{U'\u2211'}), Expr(BigSymbol{U'\u220F'}), Expr(BigSymbol{U'\u2210'}),
      Expr(BigSymbol{U'\u22C3'}),         Expr(BigSymbol{U'\u22C2'}),
  };
  return sign_of_kind(kSigns, static_cast<std::size_t>(kind));
}

[[gnu::noinline]] const Expr& integral_sign(IntegralKind kind) {
  static const Expr kSigns[] = {
      Expr(IntegralSign{IntegralKind::Int}),
      Expr(IntegralSign{IntegralKind::Iint}),
      Expr(IntegralSign{IntegralKind::Iiint}),
      Expr(IntegralSign{IntegralKind::Oint}),
  };
  return sign_of_kind(kSigns, static_cast<std::size_t>(kind));
}

// The body as the brace template holds it: a big operator or an integral
// without limits and operand (looked at through one-item sequences) becomes
// its bare sign; anything else is written as it is.
const Expr& brace_body(const Expr& body) {
  const Expr& core = collapse_single_expr(body);
  if (const auto* op = core.get_if<BigOperator>(); op && !op->lower && !op->upper && !op->body)
    return operator_sign(op->op);
  if (const auto* in = core.get_if<Integral>(); in && !in->lower && !in->upper && !in->body)
    return integral_sign(in->integral);
  return body;
}

}  // namespace

WriteResult write_brace_node(const Brace& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const SizeLevel level = script_level(size);
  const auto kind = static_cast<std::uint8_t>(node.kind);
  const Expr* label = node.label.get();

  write_template_record(template_selector::kBrace, static_cast<std::uint8_t>(kind ^ 1u), out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome body,
                      write_line(brace_body(required(node.body)), out, size, writer));
  if (label != nullptr || body.size_after != level) write_size_record(level, out);
  color_default(out);
  if (label != nullptr) {
    QV_ASSIGN_OR_RETURN(const WriteOutcome l, write_line(*label, out, level, writer));
    restore_level(l, size, out);
  } else {
    // An empty label line; the glyph that follows is drawn in black at the
    // brace's size.
    append_record(out, {tag::kLine, 0x00, tag::kEnd});
    if (size != level) write_size_record(size, out);
    select_black(out, writer);
  }
  write_expanding_glyph(static_cast<std::uint16_t>(kOverBraceGlyph + kind), out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, size};
}

}  // namespace quorvix::qvf
