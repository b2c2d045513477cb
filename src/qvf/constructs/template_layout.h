// Record pieces shared by the two-storey templates: fractions, roots,
// stacked forms, extensible arrows, braces, strike-outs and piles.
#pragma once

#include <cstdint>

#include "common/bytes.h"
#include "qvf/stream/records.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

// Template selectors of these constructs (the script and limit templates
// have theirs in script_layout.h).
namespace template_selector {
inline constexpr std::uint8_t kFence = 0x01;  // a pile in parentheses
inline constexpr std::uint8_t kRoot = 0x0A;
inline constexpr std::uint8_t kFraction = 0x0B;
inline constexpr std::uint8_t kExtensibleArrow = 0x0E;
inline constexpr std::uint8_t kStacked = 0x17;
inline constexpr std::uint8_t kBrace = 0x18;
inline constexpr std::uint8_t kStrike = 0x24;
}  // namespace template_selector

// The level the slots of a smaller storey stand at: labels, indices and the
// parts of a text-style fraction.
inline SizeLevel script_level(SizeLevel size) {
  return size == SizeLevel::Full ? SizeLevel::Subscript : SizeLevel::SubSubscript;
}

// Selects `level` again when a slot left another one selected; returns
// whether a record was written.
inline bool restore_level(const WriteOutcome& slot, SizeLevel level, Bytes& out) {
  if (slot.size_after == level) return false;
  write_size_record(level, out);
  return true;
}

// PILE: tag, options 0, horizontal alignment 2, vertical alignment 1.
inline void write_pile_record(Bytes& out) { append_record(out, {tag::kPile, 0x00, 0x02, 0x01}); }

}  // namespace quorvix::qvf
