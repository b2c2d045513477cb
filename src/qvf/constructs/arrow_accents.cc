// Arrows over or under a body (\vec, \overrightarrow and its relatives, and
// the arrows under "lim" of \varinjlim and \varprojlim): marks on a single
// character where they can be, else a template with the arrow stretched
// over or under the body's line.
#include <string>
#include <vector>

#include "common/utf8.h"
#include "qvf/constructs/accents.h"
#include "qvf/constructs/decorated_chars.h"
#include "qvf/constructs/script_layout.h"
#include "qvf/tables/accent_marks.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

constexpr std::uint8_t kArrowSelector = 0x1F;
constexpr std::uint8_t kRomanTypeface = 129;

bool is_lim(const Expr& body) {
  const auto* f = collapse_single_expr(body).get_if<FunctionName>();
  return f != nullptr && f->name == "lim";
}

// An arrow under "lim": the word in the slot, the arrow glyph after it.
WriteResult write_lim_arrow(ArrowDirection direction, const Expr& body, Bytes& out, SizeLevel size,
                            QvfWriter& writer) {
  if (direction == ArrowDirection::Both) return make_error("unsupported lim arrow accent");
  write_template_record(kArrowSelector, static_cast<std::uint8_t>(static_cast<std::uint8_t>(direction) + 5),
                        out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome line, write_line(body, out, size, writer));
  if (line.size_after != size) write_size_record(size, out);
  color_default(out);
  write_expanding_glyph(arrow_accent_glyph(direction, false), out);
  out.push_back(tag::kEnd);
  return WriteOutcome{false, size};
}

// The character under a stack of over-arrows of one direction, seen through
// one-item sequences and fonts: the character, the number of arrows and the
// innermost font.
struct ArrowedChar {
  char32_t ch = 0;
  std::size_t arrows = 0;
  std::optional<FontKind> font;
};

std::optional<ArrowedChar> repeated_arrow_accent_char(const ArrowAccent& node) {
  ArrowedChar found;
  found.arrows = 1;
  const Expr* cur = node.body.get();
  while (cur != nullptr) {
    if (const auto* s = cur->get_if<Sequence>()) {
      if (s->items.size() != 1) return std::nullopt;
      cur = &s->items.front();
    } else if (const auto* f = cur->get_if<Font>()) {
      found.font = f->font;
      cur = f->body.get();
    } else if (const auto* a = cur->get_if<ArrowAccent>()) {
      if (a->under || a->direction != node.direction) return std::nullopt;
      ++found.arrows;
      cur = a->body.get();
    } else if (const auto* c = cur->get_if<Char>()) {
      found.ch = c->ch;
      return found;
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

Status write_arrowed_char(const ArrowedChar& a, ArrowDirection direction, Bytes& out, QvfWriter& writer) {
  const std::vector<std::uint8_t> codes(a.arrows, arrow_embellishment_code(direction));
  if (!a.font) return write_char_with_codes(a.ch, codes, out, writer);
  if (a.ch >= 0x10000) {
    std::string message = "font accent character is outside BMP: ";
    append_utf8(message, a.ch);
    return make_error(std::move(message));
  }
  write_table_char_with_embellishments(kRomanTypeface, static_cast<std::uint16_t>(a.ch), false, 0, codes,
                                       out);
  return {};
}

WriteResult write_arrow_template(ArrowDirection direction, bool under, const Expr& body, Bytes& out,
                                 SizeLevel size, QvfWriter& writer) {
  const auto variation =
      static_cast<std::uint8_t>(static_cast<std::uint8_t>(direction) + 1 + (under ? 4 : 0));
  write_template_record(kArrowSelector, variation, out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome line, write_line(body, out, size, writer));
  if (line.size_after != size) write_size_record(size, out);
  if (!line.black_in_force) select_black(out, writer);
  write_expanding_glyph(arrow_accent_glyph(direction, under), out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, size};
}

}  // namespace

WriteResult write_arrow_accent_node(const ArrowAccent& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const Expr& body = required(node.body);
  if (node.under && is_lim(body)) return write_lim_arrow(node.direction, body, out, size, writer);
  if (!node.under) {
    const std::optional<ArrowedChar> a = repeated_arrow_accent_char(node);
    if (a && (!a->font || *a->font == FontKind::RomanText)) {
      QV_RETURN_IF_ERROR(write_arrowed_char(*a, node.direction, out, writer));
      return WriteOutcome{true, size};
    }
  }
  return write_arrow_template(node.direction, node.under, body, out, size, writer);
}

}  // namespace quorvix::qvf
