// Bars over and under a body (\overline, \underline, and the bar accent over
// a bold character): a mark on a single plain character, else a template.
#include <array>

#include "qvf/constructs/accents.h"
#include "qvf/constructs/decorated_chars.h"
#include "qvf/constructs/script_layout.h"
#include "qvf/tables/accent_marks.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

constexpr std::uint8_t kOverbarSelector = 0x0D;
constexpr std::uint8_t kUnderbarSelector = 0x0C;

// A body made of raw TeX around an empty piece: [RawTex, Empty, RawTex].
bool is_raw_pair_around_empty(const Expr& body) {
  const auto* s = body.get_if<Sequence>();
  return s != nullptr && s->items.size() == 3 && s->items[0].is<RawTex>() && s->items[1].is<Empty>() &&
         s->items[2].is<RawTex>();
}

}  // namespace

WriteResult write_bar_template(bool under, const Expr& body, Bytes& out, SizeLevel size, QvfWriter& writer) {
  if (const std::optional<char32_t> c = single_plain_char(body)) {
    if (under) {
      const std::array<std::uint8_t, 1> codes = {embellishment::kBarUnder};
      QV_RETURN_IF_ERROR(write_char_with_codes(*c, codes, out, writer));
    } else {
      const std::array<AccentKind, 1> kinds = {AccentKind::Bar};
      QV_RETURN_IF_ERROR(write_embellished_char(*c, kinds, out, writer));
    }
    return WriteOutcome{true, size};
  }
  write_template_record(under ? kUnderbarSelector : kOverbarSelector, 0x00, out);
  color_default(out);
  if (is_raw_pair_around_empty(body)) {
    // Only the first raw piece goes under the bar; the last follows the template.
    const auto& items = body.as<Sequence>().items;
    QV_ASSIGN_OR_RETURN(const WriteOutcome line, write_line(items[0], out, size, writer));
    out.push_back(tag::kEnd);
    QV_RETURN_IF_ERROR(write_text_code_units(items[2].as<RawTex>().text, 0x80, out, writer.source_encoding));
    return WriteOutcome{false, line.size_after};
  }
  QV_ASSIGN_OR_RETURN(const WriteOutcome line, write_line(body, out, size, writer));
  out.push_back(tag::kEnd);
  return line;
}

WriteResult write_over_underline_node(const OverUnderline& node, Bytes& out, SizeLevel size,
                                      QvfWriter& writer) {
  return write_bar_template(node.under, required(node.body), out, size, writer);
}

}  // namespace quorvix::qvf
