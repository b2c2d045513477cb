// Fonts: the definitions written on demand in the middle of the stream
// (Calvane Math One and its bold style, Calvane Math Two, Calvane Fraktur,
// Arial, the typewriter style), characters in a font kind, and `Font` runs.
#include <unicode/uchar.h>

#include <string>

#include "common/internal_error.h"
#include "common/utf8.h"
#include "qvf/stream/records.h"
#include "qvf/tables/chars.h"
#include "qvf/tables/encoding.h"
#include "qvf/writer/colors.h"
#include "qvf/writer/expr_writer.h"
#include "qvf/writer/predicates.h"
#include "qvf/writer/writer_core.h"

namespace quorvix::qvf {
namespace {

using ast::FontKind;

constexpr std::uint8_t kStyleRegular = 0;
constexpr std::uint8_t kStyleBold = 1;
constexpr std::uint8_t kTypefaceRoman = 129;  // typeface 1
constexpr std::uint8_t kTypefaceBold = 135;   // typeface 7

// Embellishment codes of the accents a font run writes itself.
constexpr std::uint8_t kEmbellHat = 9;
constexpr std::uint8_t kEmbellTilde = 8;
constexpr std::uint8_t kEmbellArrowLeft = 12;
constexpr std::uint8_t kEmbellArrowRight = 11;
constexpr std::uint8_t kEmbellArrowBoth = 13;

// The names and the character style in the definition records of an
// on-demand font.
struct FontRecipe {
  std::string_view encoding;  // ENCODING_DEF name; empty: no encoding of its own
  std::string_view font;      // FONT_DEF name
  std::uint8_t style;         // FONT_STYLE_DEF character style
};

constexpr FontRecipe font_recipe(OnDemandFont f) {
  switch (f) {
    case OnDemandFont::CalvaneMathOne: return {"CalvaneMath1", "Calvane Math One", kStyleRegular};
    case OnDemandFont::BoldCalvaneMathOne: return {"CalvaneMath1", "Calvane Math One", kStyleBold};
    case OnDemandFont::CalvaneMathTwo: return {"CalvaneMath2", "Calvane Math Two", kStyleRegular};
    case OnDemandFont::CalvaneFraktur: return {"CalvaneFraktur", "Calvane Fraktur", kStyleRegular};
    case OnDemandFont::Arial: return {{}, "Arial", kStyleRegular};
    case OnDemandFont::Typewriter: return {{}, {}, kStyleRegular};  // a style of a fixed font
  }
  return {};
}

// The definition names are constants without NUL bytes.
void must_write(Status written) {
  if (!written.ok()) internal_failure("internal error: on-demand font definition not writable");
}

// The letters and digits that the bold alphabet draws: ASCII letters and
// digits, alphabetic or numeric Unicode characters, and the Greek letters.
bool is_bold_alphanumeric(char32_t c) {
  if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9')) return true;
  if ((c >= 0x0391 && c <= 0x03A9) || (c >= 0x03B1 && c <= 0x03C9)) return true;
  if (c > 0x10FFFF) return false;
  const auto uc = static_cast<UChar32>(c);
  if (u_hasBinaryProperty(uc, UCHAR_ALPHABETIC)) return true;
  const std::int8_t type = u_charType(uc);
  return type == U_DECIMAL_DIGIT_NUMBER || type == U_LETTER_NUMBER || type == U_OTHER_NUMBER;
}

bool is_upper_letter(char32_t c) { return c >= U'A' && c <= U'Z'; }
bool is_lower_letter(char32_t c) { return c >= U'a' && c <= U'z'; }

Error char_error(const char* prefix, char32_t c) {
  std::string message = prefix;
  append_utf8(message, c);
  return make_error(std::move(message));
}

Error unsupported_in_kind(FontKind kind, char32_t c) {
  std::string message = "unsupported ";
  message += ast::font_kind_name(kind);
  message += " character: ";
  append_utf8(message, c);
  return make_error(std::move(message));
}

void write_entry(std::uint8_t typeface, const AlphabetEntry& e, Bytes& out) {
  write_table_char(typeface, e.code, e.has_position, e.position, out);
}

Status write_bold_char(char32_t c, Bytes& out, QvfWriter& w) {
  if (!is_bold_alphanumeric(c)) return write_char(c, out, w);
  const CharStyle* s = find_char_table_style(c);
  if (s != nullptr && s->font_selector == FontSelector::CalvaneMathOne) {
    const std::uint8_t t = ensure_bold_calvane_math_one(out, w);
    write_table_char(t, s->code, s->has_position, s->position, out);
  } else {
    write_table_char(kTypefaceBold, static_cast<std::uint16_t>(c), false, 0, out);
  }
  return {};
}

// \mathcal and \mathscr capitals: the calligraphic map, whose own font is
// Calvane Math One. `always_own_font` draws every capital from it.
Status write_calligraphic_char(FontKind kind, char32_t c, bool always_own_font, Bytes& out, QvfWriter& w) {
  if (is_lower_letter(c)) return unsupported_in_kind(kind, c);
  if (!is_upper_letter(c)) return write_char(c, out, w);
  QV_ASSIGN_OR_RETURN(const AlphabetEntry e, mathcal_char(c));
  if (always_own_font || e.in_own_font()) {
    write_entry(ensure_calvane_math_one(out, w), e, out);
  } else {
    write_entry(e.typeface, e, out);
  }
  return {};
}

Status write_double_struck_char(char32_t c, Bytes& out, QvfWriter& w) {
  if (is_lower_letter(c)) return unsupported_in_kind(FontKind::MathBb, c);
  if (!is_upper_letter(c)) return write_char(c, out, w);
  QV_ASSIGN_OR_RETURN(const AlphabetEntry e, mathbb_char(c));
  if (e.in_own_font()) {
    write_entry(ensure_calvane_math_two(out, w), e, out);
  } else {
    write_entry(e.typeface, e, out);
  }
  return {};
}

Status write_fraktur_char(char32_t c, Bytes& out, QvfWriter& w) {
  const Result<AlphabetEntry> entry = mathfrak_char(c);
  if (!entry.ok()) return write_char(c, out, w);  // outside the alphabet: written plainly
  const AlphabetEntry& e = *entry;
  if (e.in_own_font()) {
    write_entry(ensure_calvane_fraktur(out, w), e, out);
  } else {
    write_entry(e.typeface, e, out);
  }
  return {};
}

// Descends through non-empty sequences (first item) and `Style` bodies.
const ast::Expr& through_sequences_and_styles(const ast::Expr& e) {
  return descend(e, through::kSequence | through::kStyle);
}

// The `Char` an expression is, looking through one-item sequences.
const ast::Char* single_char(const ast::Expr& e) { return collapse_single_expr(e).get_if<ast::Char>(); }

bool is_alphabet_kind(FontKind kind) {
  return kind == FontKind::MathCal || kind == FontKind::MathScr || kind == FontKind::MathBb ||
         kind == FontKind::MathFrak;
}

// Whether the kind's alphabet draws `c` from its own (on-demand) font.
bool alphabet_uses_own_font(FontKind kind, char32_t c) {
  Result<AlphabetEntry> entry = make_error("");
  switch (kind) {
    case FontKind::MathCal:
    case FontKind::MathScr: entry = mathcal_char(c); break;
    case FontKind::MathBb: entry = mathbb_char(c); break;
    case FontKind::MathFrak: entry = mathfrak_char(c); break;
    case FontKind::Bold:
    case FontKind::RomanText:
    case FontKind::TypewriterText:
    case FontKind::MathSf: return false;
  }
  return entry.ok() && entry->in_own_font();
}

// Defines the on-demand font of an alphabet kind.
void ensure_alphabet_font(FontKind kind, Bytes& out, QvfWriter& w) {
  switch (kind) {
    case FontKind::MathCal:
    case FontKind::MathScr: ensure_calvane_math_one(out, w); break;
    case FontKind::MathBb: ensure_calvane_math_two(out, w); break;
    case FontKind::MathFrak: ensure_calvane_fraktur(out, w); break;
    case FontKind::Bold:
    case FontKind::RomanText:
    case FontKind::TypewriterText:
    case FontKind::MathSf: break;
  }
}

bool starts_with_calvane_char(const ast::Expr& item) { return leading_calvane_fonts(item).any(); }

// The colour record in front of an item of a font run that does not start
// with raw TeX.
void write_item_colour(FontKind kind, const ast::Expr& item, Bytes& out, QvfWriter& w) {
  if (font_item_needs_explicit_font_def_before_black(kind, item)) {
    ensure_alphabet_font(kind, out, w);
    select_black(out, w);
    return;
  }
  if (const auto* font = item.get_if<ast::Font>();
      font && (font->font == FontKind::TypewriterText || font->font == FontKind::MathSf)) {
    return;
  }
  if (starts_with_calvane_char(item)) return;
  if (is_alphabet_kind(kind)) {
    const std::optional<char32_t> c = first_plain_char(item);
    if (c && alphabet_uses_own_font(kind, *c)) return;
  }
  select_black(out, w);
}

WriteResult write_font_sequence(FontKind kind, const ast::Sequence& seq, bool run_starts_raw, Bytes& out,
                                SizeLevel size, QvfWriter& w) {
  bool left_colour = !run_starts_raw;
  bool flag = false;
  SizeLevel level = size;
  for (const ast::Expr& item : seq.items) {
    if (level != size) {
      write_size_record(size, out);
      level = size;
    }
    if (expr_starts_with_raw_tex(item)) {
      if (left_colour) color_default(out);
    } else {
      write_item_colour(kind, item, out, w);
    }
    QV_ASSIGN_OR_RETURN(const WriteOutcome r, write_font_expr(kind, item, out, size, w));
    left_colour = r.black_in_force;
    flag = r.black_in_force;
    level = r.size_after;
  }
  return WriteOutcome{flag, level};
}

ast::Box wrapped_box(FontKind kind, const ast::Box& b) {
  if (!b) return nullptr;
  return ast::box(font_wrapped_expr(kind, *b));
}

}  // namespace

std::uint8_t ensure_on_demand_font(OnDemandFont font, Bytes& out, QvfWriter& writer) {
  if (!writer.fonts.defined(font)) {
    const FontAssignment a = writer.fonts.define(font);
    const FontRecipe r = font_recipe(font);
    if (a.new_font) {
      if (!r.encoding.empty()) must_write(write_encoding_def(r.encoding, out));
      must_write(write_font_def(a.encoding, name_bytes(r.font), out));
    }
    write_font_style_def(a.font, r.style, out);
  }
  return writer.fonts.typeface(font);
}

void ensure_calvane_math_one_for_expr(const ast::Expr& expr, Bytes& out, QvfWriter& writer) {
  const ast::Expr& first = through_sequences_and_styles(expr);
  if (const auto* font = first.get_if<ast::Font>(); font && font->font == FontKind::Bold && font->body) {
    const std::optional<char32_t> c = first_plain_char(*font->body);
    if (c && is_bold_alphanumeric(*c)) {
      ensure_bold_calvane_math_one(out, writer);
      return;
    }
  }
  ensure_calvane_math_one(out, writer);
}

bool font_item_needs_explicit_font_def_before_black(FontKind kind, const ast::Expr& item) {
  const auto* c = through_sequences_and_styles(item).get_if<ast::Char>();
  if (c == nullptr || !is_upper_letter(c->ch)) return false;
  switch (kind) {
    case FontKind::MathBb:
    case FontKind::MathFrak:
    case FontKind::MathCal:
    case FontKind::MathScr: return alphabet_uses_own_font(kind, c->ch);
    case FontKind::Bold:
    case FontKind::RomanText:
    case FontKind::TypewriterText:
    case FontKind::MathSf: return false;
  }
  return false;
}

Status write_font_char(FontKind kind, char32_t ch, Bytes& out, QvfWriter& writer) {
  if (ch >= 0x10000) return char_error("font character is outside BMP: ", ch);
  const auto code = static_cast<std::uint16_t>(ch);
  switch (kind) {
    case FontKind::Bold: return write_bold_char(ch, out, writer);
    case FontKind::RomanText:
      if (ch == U'<' || ch == U'>') return write_char(ch, out, writer);
      write_table_char(kTypefaceRoman, code, false, 0, out);
      return {};
    case FontKind::TypewriterText:
      // The typewriter style itself is defined by the font run.
      write_table_char(writer.fonts.typeface(OnDemandFont::Typewriter), code, false, 0, out);
      return {};
    case FontKind::MathCal: return write_calligraphic_char(kind, ch, false, out, writer);
    case FontKind::MathScr: return write_calligraphic_char(kind, ch, true, out, writer);
    case FontKind::MathSf: write_table_char(ensure_arial(out, writer), code, false, 0, out); return {};
    case FontKind::MathBb: return write_double_struck_char(ch, out, writer);
    case FontKind::MathFrak: return write_fraktur_char(ch, out, writer);
  }
  internal_failure("internal error: unknown font kind");
}

ast::Expr font_wrapped_expr(FontKind kind, const ast::Expr& expr) {
  if (const auto* font = expr.get_if<ast::Font>(); font && font->font == kind) return expr;
  return ast::Font{ast::box(ast::Expr(expr)), kind};
}

WriteResult write_font_expr(FontKind kind, const ast::Expr& body, Bytes& out, SizeLevel size,
                            QvfWriter& writer) {
  if (kind == FontKind::MathSf && through_sequences_and_styles(body).is<ast::Font>())
    select_black(out, writer);
  if (kind == FontKind::TypewriterText && !writer.fonts.defined(OnDemandFont::Typewriter)) {
    ensure_on_demand_font(OnDemandFont::Typewriter, out, writer);
    select_black(out, writer);
  }

  if (const auto* c = body.get_if<ast::Char>()) {
    QV_RETURN_IF_ERROR(write_font_char(kind, c->ch, out, writer));
    return WriteOutcome{true, size};
  }
  if (const auto* seq = body.get_if<ast::Sequence>()) {
    return write_font_sequence(kind, *seq, expr_starts_with_raw_tex(body), out, size, writer);
  }
  if (const auto* script = body.get_if<ast::Script>()) {
    const ast::Expr rebuilt = ast::Script{wrapped_box(kind, script->base), wrapped_box(kind, script->sub),
                                          wrapped_box(kind, script->sup)};
    return write_expr(rebuilt, out, size, writer);
  }
  if (const auto* fraction = body.get_if<ast::Fraction>()) {
    const ast::Expr rebuilt =
        ast::Fraction{wrapped_box(kind, fraction->numerator), wrapped_box(kind, fraction->denominator)};
    return write_expr(rebuilt, out, size, writer);
  }
  if (const auto* accent = body.get_if<ast::Accent>(); accent && kind == FontKind::Bold && accent->body) {
    const ast::Char* c = single_char(*accent->body);
    const bool bold_form = accent->accent == ast::AccentKind::Hat ||
                           accent->accent == ast::AccentKind::WideHat ||
                           accent->accent == ast::AccentKind::Tilde;
    if (c != nullptr && bold_form) {
      if (c->ch >= 0x10000) return char_error("bold accent character is outside BMP: ", c->ch);
      const std::uint8_t code = accent->accent == ast::AccentKind::Tilde ? kEmbellTilde : kEmbellHat;
      write_table_char_with_embellishments(kTypefaceBold, static_cast<std::uint16_t>(c->ch), false, 0,
                                           std::span<const std::uint8_t>(&code, 1), out);
      return WriteOutcome{true, size};
    }
  }
  if (const auto* arrow = body.get_if<ast::ArrowAccent>();
      arrow && kind == FontKind::RomanText && !arrow->under && arrow->body) {
    if (const ast::Char* c = single_char(*arrow->body)) {
      if (c->ch >= 0x10000) return char_error("font accent character is outside BMP: ", c->ch);
      std::uint8_t code = 0;
      switch (arrow->direction) {
        case ast::ArrowDirection::Left: code = kEmbellArrowLeft; break;
        case ast::ArrowDirection::Right: code = kEmbellArrowRight; break;
        case ast::ArrowDirection::Both: code = kEmbellArrowBoth; break;
        default: internal_failure("internal error: arrow accent direction out of range");
      }
      write_table_char_with_embellishments(kTypefaceRoman, static_cast<std::uint16_t>(c->ch), false, 0,
                                           std::span<const std::uint8_t>(&code, 1), out);
      return WriteOutcome{true, size};
    }
  }
  // The font does not reach into any other construct.
  return write_expr(body, out, size, writer);
}

}  // namespace quorvix::qvf
