// Accents: a mark on a single character where the accent has one, a
// template with the accent glyph over anything larger, and the explicit
// accent templates of the acute, grave and check accents.
#include "qvf/constructs/accents.h"

#include <array>

#include "qvf/constructs/decorated_chars.h"
#include "qvf/constructs/script_layout.h"
#include "qvf/constructs/template_layout.h"
#include "qvf/tables/chars.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

constexpr std::uint8_t kHatSelector = 0x21;
constexpr std::uint16_t kHatGlyph = 0x0302;
constexpr std::uint8_t kAccentGlyphTypeface = 130;

bool is_template_accent(AccentKind k) {
  return k == AccentKind::Acute || k == AccentKind::Grave || k == AccentKind::Check;
}

bool is_hat(AccentKind k) { return k == AccentKind::Hat || k == AccentKind::WideHat; }

std::uint16_t template_accent_glyph(AccentKind k) {
  switch (k) {
    case AccentKind::Acute: return 0x00B4;
    case AccentKind::Grave: return 0x0060;
    default: return 0x02C7;  // Check
  }
}

// The body under the accent in the limit template, the accent glyph alone
// in the upper slot.
WriteResult write_template_accent(AccentKind kind, const Expr& body, Bytes& out, SizeLevel size,
                                  QvfWriter& writer) {
  const SizeLevel upper = script_level(size);
  write_template_record(template_selector::kStacked, 0x20, out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome line, write_line(body, out, size, writer));
  if (line.size_after != upper) write_size_record(upper, out);
  color_default(out);
  write_null_line(out);
  append_record(out, {tag::kLine, 0x00});
  select_black(out, writer);
  write_table_char(kAccentGlyphTypeface, template_accent_glyph(kind), false, 0, out);
  out.push_back(tag::kEnd);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, upper};
}

// A hat over one bold character: the character in a line of its own, written
// as if first in the stream, under the stretched hat.
WriteResult write_bold_hat(char32_t ch, Bytes& out, SizeLevel size, QvfWriter& writer) {
  write_template_record(kHatSelector, 0x00, out);
  color_default(out);
  append_record(out, {tag::kLine, 0x00});
  select_black(out, writer);
  QvfWriter own(writer.source_encoding);
  QV_RETURN_IF_ERROR(write_font_char(FontKind::Bold, ch, out, own));
  out.push_back(tag::kEnd);
  write_expanding_glyph(kHatGlyph, out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, size};
}

WriteResult write_hat_template(const Expr& body, Bytes& out, SizeLevel size, QvfWriter& writer) {
  write_template_record(kHatSelector, 0x00, out);
  color_default(out);
  QV_ASSIGN_OR_RETURN(const WriteOutcome line, write_line(body, out, size, writer));
  restore_level(line, size, out);
  if (!line.black_in_force) select_black(out, writer);
  write_expanding_glyph(kHatGlyph, out);
  out.push_back(tag::kEnd);
  return WriteOutcome{true, size};
}

WriteResult write_under_tilde_run(const Expr& body, Bytes& out, SizeLevel size, QvfWriter& writer) {
  const std::optional<std::vector<char32_t>> run = simple_char_run(body);
  if (!run) return make_error("\\utilde currently supports only simple character runs");
  const std::array<AccentKind, 1> kinds = {AccentKind::Utilde};
  for (const char32_t c : *run) QV_RETURN_IF_ERROR(write_embellished_char(c, kinds, out, writer));
  return WriteOutcome{true, size};
}

// The plain character under a bar accent that `body` is (through one-item
// sequences).
std::optional<char32_t> barred_plain_char(const Expr& body) {
  const auto* inner = collapse_single_expr(body).get_if<Accent>();
  if (inner == nullptr || inner->accent != AccentKind::Bar || !inner->body) return std::nullopt;
  return single_plain_char(*inner->body);
}

}  // namespace

WriteResult write_accent_expr(AccentKind kind, const Expr& body, Bytes& out, SizeLevel size,
                              QvfWriter& writer) {
  if (is_template_accent(kind)) return write_template_accent(kind, body, out, size, writer);
  const std::optional<FontChar> single = single_font_char(body);
  if (single && !single->font) {
    const std::array<AccentKind, 1> kinds = {kind};
    QV_RETURN_IF_ERROR(write_embellished_char(single->ch, kinds, out, writer));
    return WriteOutcome{true, size};
  }
  const bool bold_char = single && single->font == FontKind::Bold;
  if (kind == AccentKind::Bar && bold_char) return write_bar_template(false, body, out, size, writer);
  if (kind == AccentKind::Hat && bold_char) return write_bold_hat(single->ch, out, size, writer);
  if (kind == AccentKind::Utilde) return write_under_tilde_run(body, out, size, writer);
  // An accent over a barred character: both marks on the one character, the
  // bar first.
  if (const std::optional<char32_t> barred = barred_plain_char(body)) {
    const std::array<AccentKind, 2> kinds = {AccentKind::Bar, kind};
    QV_RETURN_IF_ERROR(write_embellished_char(*barred, kinds, out, writer));
    return WriteOutcome{true, size};
  }
  if (is_hat(kind)) return write_hat_template(body, out, size, writer);
  // No other accent has a form over a larger body: the body alone.
  return write_expr(body, out, size, writer);
}

WriteResult write_accent_node(const Accent& node, Bytes& out, SizeLevel size, QvfWriter& writer) {
  return write_accent_expr(node.accent, required(node.body), out, size, writer);
}

}  // namespace quorvix::qvf
