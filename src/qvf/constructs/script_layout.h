// Record pieces shared by the script, big-operator, integral and limit
// templates.
#pragma once

#include <cstdint>

#include "ast/expr.h"
#include "common/bytes.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

// Template selectors.
namespace selector {
inline constexpr std::uint8_t kIntegral = 0x0F;
inline constexpr std::uint8_t kBigOperator = 0x10;  // plus the operator kind
inline constexpr std::uint8_t kTextStyleLimits = 0x15;
inline constexpr std::uint8_t kLimitsUnderOver = 0x16;
inline constexpr std::uint8_t kLimit = 0x17;
inline constexpr std::uint8_t kSubscript = 0x1B;
inline constexpr std::uint8_t kSuperscript = 0x1C;
inline constexpr std::uint8_t kSubSuperscript = 0x1D;
}  // namespace selector

// The level scripts and limits of a template written at `size` stand at.
inline SizeLevel sub_level(SizeLevel size) {
  return size == SizeLevel::Full ? SizeLevel::Subscript : SizeLevel::SubSubscript;
}

// TMPL: tag, options 0, selector, variation, template options 0.
void write_template_record(std::uint8_t selector, std::uint8_t variation, Bytes& out);

// One template slot: LINE(expr) at `level`, or the null line when `expr` is
// absent (then nothing is in force: colour flag false).
WriteResult write_slot(const ast::Expr* expr, Bytes& out, SizeLevel level, QvfWriter& writer);

// The lower and upper slots of limits set under and over a sign, both at
// `level`: between them the level is restored when the lower line left
// another one, and COLOR 0 precedes an upper line when the lower line left
// black in force. A missing upper slot after a lower line that left no black
// is preceded by COLOR 1 when `black_before_missing_upper`. Returns whether
// black is known to be in force after the slots.
Result<bool> write_limit_slots(const ast::Expr* lower, const ast::Expr* upper, Bytes& out, SizeLevel level,
                               bool black_before_missing_upper, QvfWriter& writer);

}  // namespace quorvix::qvf
