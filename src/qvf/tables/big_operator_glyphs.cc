// The named big-operator glyph table and the glyph records written from it.
#include "qvf/tables/big_operator_glyphs.h"

#include <iterator>
#include <string>

#include "common/sorted_table.h"
#include "qvf/stream/records.h"
#include "qvf/writer/colors.h"

namespace quorvix::qvf {
namespace {

constexpr std::uint8_t kSymbolTypeface = 134;  // typeface 6
constexpr std::uint8_t kExtraTypeface = 139;   // typeface 11, the QV Extra font
constexpr std::uint8_t kOwnStyleTypeface = 127;

constexpr NamedGlyph glyph(std::string_view name, std::uint16_t code, std::uint8_t typeface,
                           std::uint8_t position, bool own_font_style = false) {
  return NamedGlyph{name, code, typeface, position, own_font_style};
}

// clang-format off
constexpr NamedGlyph kNamedGlyphs[] = {
    glyph("standalone_union",        0x222A, kSymbolTypeface,   0xC8),
    glyph("standalone_intersection", 0x2229, kSymbolTypeface,   0xC7),
    glyph("bigvee",                  0xFFFD, kExtraTypeface,    0x6E),
    glyph("bigwedge",                0xFFFD, kExtraTypeface,    0x6E),
    glyph("sum",                     0x2211, kSymbolTypeface,   0xE5),
    glyph("product",                 0x220F, kSymbolTypeface,   0xD5),
    glyph("coproduct",               0x2210, kExtraTypeface,    0x43),
    glyph("union",                   0x222A, kExtraTypeface,    0x55),
    glyph("intersection",            0x2229, kExtraTypeface,    0x49),
    glyph("bodyless_sum",            0x2211, kSymbolTypeface,   0xE5),
    glyph("bodyless_product",        0x220F, kSymbolTypeface,   0xD5),
    glyph("bodyless_coproduct",      0x2210, kExtraTypeface,    0x43),
    glyph("bodyless_union",          0x222A, kOwnStyleTypeface, 0x55, true),
    glyph("bodyless_intersection",   0x2229, kOwnStyleTypeface, 0x49, true),
    glyph("integral",                0x222B, kSymbolTypeface,   0xF2),
    glyph("contour_loop",            0xEE11, kExtraTypeface,    0xD1),
};
// clang-format on

static_assert(std::size(kNamedGlyphs) == 16);

constexpr auto kNameKey = [](const NamedGlyph& g) { return g.name; };
constexpr auto kNamedGlyphIndex = table_index(kNamedGlyphs, kNameKey);

constexpr const NamedGlyph* lookup(std::string_view name) {
  return find_in_table(kNamedGlyphs, kNamedGlyphIndex, kNameKey, name);
}

// Indexed by BigOperatorKind: Sum, Prod, Coprod, Bigcup, Bigcap.
constexpr const NamedGlyph* kOperandGlyphs[] = {
    lookup("sum"),
    lookup("product"),
    lookup("coproduct"),
    lookup("standalone_union"),
    lookup("standalone_intersection"),
};
constexpr const NamedGlyph* kBodylessGlyphs[] = {
    lookup("bodyless_sum"),   lookup("bodyless_product"),      lookup("bodyless_coproduct"),
    lookup("bodyless_union"), lookup("bodyless_intersection"),
};
constexpr const NamedGlyph* kIntegralGlyphs[] = {lookup("integral"), lookup("contour_loop")};

template <std::size_t N>
constexpr bool all_found(const NamedGlyph* const (&glyphs)[N]) {
  for (const NamedGlyph* g : glyphs)
    if (g == nullptr) return false;
  return true;
}
static_assert(all_found(kOperandGlyphs) && all_found(kBodylessGlyphs) && all_found(kIntegralGlyphs));

const NamedGlyph* by_kind(const NamedGlyph* const (&glyphs)[5], ast::BigOperatorKind kind) {
  const auto i = static_cast<std::size_t>(kind);
  return glyphs[i < std::size(glyphs) ? i : 0];
}

Error missing_glyph(std::string_view name) {
  std::string message = "missing generated big-operator glyph: ";
  message += name;
  return make_error(std::move(message));
}

}  // namespace

const NamedGlyph* find_named_big_operator_glyph(std::string_view name) {
  return find_in_table(kNamedGlyphs, kNamedGlyphIndex, kNameKey, name);
}

const NamedGlyph& big_operator_glyph(ast::BigOperatorKind kind) { return *by_kind(kOperandGlyphs, kind); }
const NamedGlyph& bodyless_big_operator_glyph(ast::BigOperatorKind kind) {
  return *by_kind(kBodylessGlyphs, kind);
}
const NamedGlyph& integral_glyph() { return *kIntegralGlyphs[0]; }
const NamedGlyph& contour_loop_glyph() { return *kIntegralGlyphs[1]; }

void write_glyph(const NamedGlyph& glyph, Bytes& out) {
  write_table_char(glyph.typeface, glyph.code, /*has_position=*/true, glyph.position, out);
}

void write_glyph_line(const NamedGlyph& glyph, Bytes& out, QvfWriter& writer) {
  append_record(out, {tag::kLine, 0x00});
  if (glyph.own_font_style) write_font_style_def(4, 0, out);
  select_black(out, writer);
  write_glyph(glyph, out);
  out.push_back(tag::kEnd);
}

Status write_named_big_operator_glyph(std::string_view name, Bytes& out) {
  const NamedGlyph* g = find_named_big_operator_glyph(name);
  if (g == nullptr) return missing_glyph(name);
  write_glyph(*g, out);
  return {};
}

Status write_named_big_operator_glyph_line(std::string_view name, Bytes& out, QvfWriter& writer) {
  const NamedGlyph* g = find_named_big_operator_glyph(name);
  if (g == nullptr) return missing_glyph(name);
  write_glyph_line(*g, out, writer);
  return {};
}

}  // namespace quorvix::qvf
