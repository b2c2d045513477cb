// Negated relations (\not=, \not\in): the relation's character with the
// negation stroke as its mark.
#include <array>

#include "common/internal_error.h"
#include "qvf/constructs/accents.h"
#include "qvf/constructs/decorated_chars.h"
#include "qvf/tables/accent_marks.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

constexpr std::array<std::uint8_t, 1> kStroke = {embellishment::kNegation};

bool is_empty_sequence(const Box& b) { return b && ast::is_empty_sequence(*b); }

}  // namespace

Status write_not_relation(const Expr& body, Bytes& out, QvfWriter& writer) {
  const Expr& core = descend(body, through::kOneItem | through::kStyle);
  if (const auto* c = core.get_if<Char>()) return write_char_with_codes(c->ch, kStroke, out, writer);
  if (const auto* cs = core.get_if<CommandSymbol>())
    return write_command_symbol_with_embellishments(cs->name, cs->ch, kStroke, out, writer);
  if (const auto* d = core.get_if<OneSidedDelimited>(); d && is_empty_sequence(d->body))
    return write_char_with_codes(d->delimiter, kStroke, out, writer);
  internal_failure("internal error: unsupported relation payload in write_not_relation");
}

WriteResult write_not_node(const Not& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  QV_RETURN_IF_ERROR(write_not_relation(required(node.body), out, writer));
  return WriteOutcome{true, size};
}

}  // namespace quorvix::qvf
