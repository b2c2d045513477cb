// Integrals: signs standing alone, signs with limits, and integrals with an
// operand.
#include <array>
#include <string>
#include <string_view>

#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/scripts.h"
#include "qvf/stream/records.h"
#include "qvf/tables/big_operator_glyphs.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// The command names the standalone signs are looked up by, by IntegralKind.
constexpr std::array<std::string_view, 4> kStandaloneNames = {"int", "iint", "iiint", "oint"};

std::size_t kind_index(IntegralKind kind) {
  const auto i = static_cast<std::size_t>(kind);
  if (i >= kStandaloneNames.size()) internal_failure("internal error: unknown integral kind");
  return i;
}

// The command-symbol entries of the standalone signs, found once.
const std::array<const CommandSymbolEntry*, 4>& standalone_entries() {
  static const std::array<const CommandSymbolEntry*, 4> entries = [] {
    std::array<const CommandSymbolEntry*, 4> found{};
    for (std::size_t i = 0; i < kStandaloneNames.size(); ++i)
      found[i] = find_command_symbol(kStandaloneNames[i]);
    return found;
  }();
  return entries;
}

std::uint8_t integral_variation(IntegralKind kind) {
  switch (kind) {
    case IntegralKind::Int: return 1;
    case IntegralKind::Iint: return 2;
    case IntegralKind::Iiint: return 3;
    case IntegralKind::Oint: return 5;
  }
  internal_failure("internal error: unknown integral kind");
}

}  // namespace

WriteResult write_integral_op(IntegralKind kind, const Expr& operand, const Expr* lower, const Expr* upper,
                              Bytes& out, SizeLevel size, QvfWriter& writer) {
  const SizeLevel sl = sub_level(size);
  const bool limited = lower != nullptr || upper != nullptr;
  write_template_record(selector::kIntegral,
                        static_cast<std::uint8_t>(integral_variation(kind) | (limited ? 0x10 : 0x00)), out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome body, write_line(operand, out, size, writer));
  if (body.size_after != sl) write_size_record(sl, out);
  if (lower != nullptr) {
    if (body.black_in_force) color_default(out);
    QV_ASSIGN_OR_RETURN(const WriteOutcome low, write_line(*lower, out, sl, writer));
    if (low.size_after != sl) write_size_record(sl, out);
    if (!low.black_in_force) select_black(out, writer);
  } else {
    if (!body.black_in_force) select_black(out, writer);
    write_null_line(out);
  }
  QV_RETURN_IF_ERROR(write_slot(upper, out, sl, writer));
  out.push_back(tag::kSym);
  if (kind == IntegralKind::Oint) {
    write_glyph(contour_loop_glyph(), out);
    write_glyph(integral_glyph(), out);
  } else {
    for (std::size_t i = 0; i <= kind_index(kind); ++i) write_glyph(integral_glyph(), out);
  }
  out.push_back(tag::kEnd);
  return WriteOutcome{true, sl};
}

WriteResult write_integral_node(const Integral& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  // A mark left for a limit template at the end of an item is this one's.
  if (!node.nolimits) take(writer.marks.limit_before_raw);
  if (node.body)
    return write_integral_op(node.integral, *node.body, node.lower.get(), node.upper.get(), out, size,
                             writer);
  if (node.nolimits) {
    const bool restore = !take(writer.marks.integral_before_raw);
    return write_textstyle_bodyless_integral(node.lower.get(), node.upper.get(), out, size, restore, writer);
  }
  return write_bodyless_integral_limits(node.lower.get(), node.upper.get(), out, size, writer);
}

WriteResult write_integral_sign_node(const IntegralSign& node, Bytes& out, SizeLevel size,
                                     QvfWriter& writer) {
  const std::size_t i = kind_index(node.integral);
  const CommandSymbolEntry* entry = standalone_entries()[i];
  if (entry == nullptr) {
    std::string message = "missing generated standalone integral symbol: \\";
    message += kStandaloneNames[i];
    return make_error(std::move(message));
  }
  const CharStyle& s = entry->style;
  write_styled_table_char(s.typeface, s.code, s.has_position, s.position, s.font_selector, out, writer);
  return WriteOutcome{true, size};
}

}  // namespace quorvix::qvf
