// Strike-outs (\sout, \cancel, \bcancel, \xcancel): one template around the
// body, the kind of stroke in its variation.
#include <array>
#include <cstddef>

#include "common/internal_error.h"
#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/template_layout.h"
#include "qvf/constructs/templates.h"
#include "qvf/writer/expr_writer.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

// Variation per StrikeKind: horizontal, up, down, both diagonals.
constexpr std::array<std::uint8_t, 4> kStrikeVariation = {0x01, 0x02, 0x04, 0x06};

std::uint8_t strike_variation(StrikeKind kind) {
  const auto i = static_cast<std::size_t>(kind);
  if (i >= kStrikeVariation.size()) internal_failure("internal error: strike-out of unknown kind");
  return kStrikeVariation[i];
}

}  // namespace

WriteResult write_strike_node(const Strike& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  write_template_record(template_selector::kStrike, strike_variation(node.strike), out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome body, write_line(required(node.body), out, size, writer));
  out.push_back(tag::kEnd);
  return body;
}

}  // namespace quorvix::qvf
