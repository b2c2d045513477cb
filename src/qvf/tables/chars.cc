// Characters: the style a character is written in, CHAR records for plain
// characters and symbol commands, primes, and the tests for characters drawn
// from the Calvane fonts.
#include "qvf/tables/chars.h"

#include <array>
#include <iterator>
#include <string>

#include "common/utf8.h"
#include "qvf/stream/records.h"
#include "qvf/tables/encoding.h"
#include "qvf/writer/predicates.h"

namespace quorvix::qvf {
namespace {

constexpr std::uint8_t kTypefaceText = 130;      // typeface 2
constexpr std::uint8_t kTypefaceVariable = 131;  // typeface 3
constexpr std::uint8_t kTypefaceSymbolFont = 134;
constexpr std::uint8_t kTypefaceNumber = 136;  // typeface 8

constexpr CharStyle unpositioned(std::uint16_t code, std::uint8_t typeface) {
  return CharStyle{false, 0, code, FontSelector::Typeface, typeface};
}
constexpr CharStyle positioned(std::uint16_t code, std::uint8_t position, std::uint8_t typeface) {
  return CharStyle{true, position, code, FontSelector::Typeface, typeface};
}

constexpr bool in_math_symbol_ranges(char32_t c) {
  return (c >= 0x2030 && c <= 0x203F) || (c >= 0x2100 && c <= 0x214F) || (c >= 0x2190 && c <= 0x21FF) ||
         (c >= 0x2200 && c <= 0x23FF) || (c >= 0x2571 && c <= 0x2572) || (c >= 0x25A0 && c <= 0x25FF) ||
         (c >= 0x2600 && c <= 0x26FF) || (c >= 0x27C0 && c <= 0x27FF) || (c >= 0x2900 && c <= 0x2AFF);
}

// The style of a character of the Basic Multilingual Plane that the
// character table does not list.
constexpr CharStyle fallback_bmp_style(char32_t c) {
  const auto code = static_cast<std::uint16_t>(c);
  switch (c) {
    case U'#':
    case U'$':
    case U'%':
    case U'_': return unpositioned(code, kTypefaceText);
    case U'~': return unpositioned(0x00A0, kTypefaceText);
    case 0x03BF: return positioned(0x03BF, 0x6F, 132);  // small omicron
    default: break;
  }
  switch (c) {
    case U'!':
    case U'(':
    case U')':
    case U',':
    case U'.':
    case U'/':
    case U':':
    case U';':
    case U'@':
    case U'[':
    case U']':
    case U'{':
    case U'|':
    case U'}': return unpositioned(code, kTypefaceText);
    case U'+': return positioned(0x002B, 0x2B, kTypefaceSymbolFont);
    case U'-': return positioned(0x2212, 0x2D, kTypefaceSymbolFont);
    case U'=': return positioned(0x003D, 0x3D, kTypefaceSymbolFont);
    case U'<': return positioned(0x003C, 0x3C, kTypefaceSymbolFont);
    case U'>': return positioned(0x003E, 0x3E, kTypefaceSymbolFont);
    case U'*': return unpositioned(0x002A, kTypefaceText);
    case U'?': return unpositioned(code, kTypefaceText);
    default: break;
  }
  if (in_math_symbol_ranges(c)) return unpositioned(code, kTypefaceSymbolFont);
  if (c >= U'0' && c <= U'9') return unpositioned(code, kTypefaceNumber);
  return unpositioned(code, kTypefaceVariable);
}

// The fallback style of every ASCII character, worked out at compile time:
// most characters of a formula are ASCII letters, which the table does not
// list.
constexpr std::array<CharStyle, 128> make_ascii_fallback_styles() {
  std::array<CharStyle, 128> styles{};
  for (char32_t c = 0; c < 128; ++c) styles[c] = fallback_bmp_style(c);
  return styles;
}

constexpr std::array<CharStyle, 128> kAsciiFallbackStyles = make_ascii_fallback_styles();

// The style of a character the character table does not list.
Result<CharStyle> fallback_char_style(char32_t c) {
  if (c >= 0x10000) {
    std::string message = "character is outside BMP and not yet supported: ";
    append_utf8(message, c);
    return make_error(std::move(message));
  }
  return fallback_bmp_style(c);
}

// The typeface byte a style is written with, defining its Calvane font first
// when the stream does not have it yet.
std::uint8_t styled_typeface(std::uint8_t typeface, FontSelector font_selector, Bytes& out,
                             QvfWriter& writer) {
  switch (font_selector) {
    case FontSelector::CalvaneMathOne:
      ensure_calvane_math_one(out, writer);
      return writer.fonts.typeface(OnDemandFont::CalvaneMathOne);
    case FontSelector::CalvaneMathTwo:
      ensure_calvane_math_two(out, writer);
      return writer.fonts.typeface(OnDemandFont::CalvaneMathTwo);
    case FontSelector::Typeface: break;
  }
  return typeface;
}

// The Calvane fonts a first character can be drawn from.
enum class CalvaneFont : std::uint8_t { MathOne, MathTwo, Fraktur };

std::optional<FontSelector> char_selector(char32_t c) {
  if (const CharStyle* s = find_char_table_style(c)) return s->font_selector;
  return std::nullopt;  // the fallback rules never select a Calvane font
}

bool selector_is(std::optional<FontSelector> selector, CalvaneFont font) {
  if (!selector) return false;
  switch (font) {
    case CalvaneFont::MathOne: return *selector == FontSelector::CalvaneMathOne;
    case CalvaneFont::MathTwo: return *selector == FontSelector::CalvaneMathTwo;
    case CalvaneFont::Fraktur: return false;
  }
  return false;
}

// Whether the first character of a `Font` body of `kind` maps into `font`
// through the kind's alphabet; nullopt when `kind` is not an alphabet of `font`.
std::optional<bool> alphabet_maps_into(ast::FontKind kind, const ast::Expr& body, CalvaneFont font) {
  const auto in_own_font = [&](Result<AlphabetEntry> (*map)(char32_t)) {
    const std::optional<char32_t> c = first_plain_char(body);
    if (!c) return false;
    const Result<AlphabetEntry> entry = map(*c);
    return entry.ok() && entry->in_own_font();
  };
  switch (font) {
    case CalvaneFont::MathOne:
      if (kind == ast::FontKind::MathCal) return in_own_font(mathcal_char);
      if (kind == ast::FontKind::MathScr) {
        const std::optional<char32_t> c = first_plain_char(body);
        return c && *c >= U'A' && *c <= U'Z';
      }
      return std::nullopt;
    case CalvaneFont::MathTwo:
      if (kind == ast::FontKind::MathBb) return in_own_font(mathbb_char);
      return std::nullopt;
    case CalvaneFont::Fraktur:
      if (kind == ast::FontKind::MathFrak) return in_own_font(mathfrak_char);
      return std::nullopt;
  }
  return std::nullopt;
}

constexpr CalvaneFont kCalvaneFonts[] = {CalvaneFont::MathOne, CalvaneFont::MathTwo, CalvaneFont::Fraktur};

}  // namespace

// Follows the first significant node (first items of non-empty sequences,
// the expression of a leading visible `Hybrid` part, `Style` bodies, `Script`
// bases and the bodies of fonts of other alphabets) to its first character,
// once for all three fonts: a font of an alphabet settles the answer for its
// own Calvane font, and the walk goes on into its body for the others.
LeadingCalvaneFonts leading_calvane_fonts(const ast::Expr& root) {
  bool found[std::size(kCalvaneFonts)] = {};
  bool open[std::size(kCalvaneFonts)] = {true, true, true};
  const auto result = [&found] { return LeadingCalvaneFonts{found[0], found[1], found[2]}; };
  const auto settle_open = [&](std::optional<FontSelector> selector) {
    for (std::size_t i = 0; i < std::size(kCalvaneFonts); ++i)
      if (open[i]) found[i] = selector_is(selector, kCalvaneFonts[i]);
    return result();
  };
  const ast::Expr* e = &root;
  while (true) {
    if (const auto* seq = e->get_if<ast::Sequence>()) {
      if (seq->items.empty()) return result();
      e = &seq->items.front();
    } else if (const auto* hybrid = e->get_if<ast::Hybrid>()) {
      if (hybrid->parts.empty()) return result();
      const auto* visible = std::get_if<ast::HybridVisible>(&hybrid->parts.front());
      if (!visible || !visible->expr) return result();
      e = visible->expr.get();
    } else if (const auto* style = e->get_if<ast::Style>()) {
      if (!style->body) return result();
      e = style->body.get();
    } else if (const auto* script = e->get_if<ast::Script>()) {
      if (!script->base) return result();
      e = script->base.get();
    } else if (const auto* f = e->get_if<ast::Font>()) {
      if (!f->body) return result();
      bool any_open = false;
      for (std::size_t i = 0; i < std::size(kCalvaneFonts); ++i) {
        if (!open[i]) continue;
        if (const std::optional<bool> maps = alphabet_maps_into(f->font, *f->body, kCalvaneFonts[i])) {
          found[i] = *maps;
          open[i] = false;
        }
        any_open = any_open || open[i];
      }
      if (!any_open) return result();
      e = f->body.get();
    } else if (const auto* c = e->get_if<ast::Char>()) {
      return settle_open(char_selector(c->ch));
    } else if (const auto* big = e->get_if<ast::BigSymbol>()) {
      return settle_open(char_selector(big->ch));
    } else if (const auto* op = e->get_if<ast::BigOperatorSymbol>()) {
      return settle_open(char_selector(op->ch));
    } else if (const auto* sym = e->get_if<ast::CommandSymbol>()) {
      const CommandSymbolEntry* entry = find_command_symbol(sym->name);
      return entry ? settle_open(entry->style.font_selector) : result();
    } else {
      return result();
    }
  }
}

bool is_math_symbol_char(char32_t c) { return in_math_symbol_ranges(c); }

namespace {

// The style of a listed or an ASCII character without building a result;
// null for the others.
const CharStyle* table_or_ascii_style(char32_t ch) {
  if (const CharStyle* style = find_char_table_style(ch)) return style;
  return ch < kAsciiFallbackStyles.size() ? &kAsciiFallbackStyles[ch] : nullptr;
}

}  // namespace

Result<CharStyle> resolve_char_style(char32_t ch) {
  if (const CharStyle* style = table_or_ascii_style(ch)) return *style;
  return fallback_char_style(ch);
}

void write_styled_table_char(std::uint8_t typeface, std::uint16_t code, bool has_position,
                             std::uint8_t position, FontSelector font_selector, Bytes& out,
                             QvfWriter& writer) {
  const std::uint8_t t = styled_typeface(typeface, font_selector, out, writer);
  write_table_char(t, code, has_position, position, out);
}

void write_styled_table_char_with_embellishments(std::uint8_t typeface, std::uint16_t code, bool has_position,
                                                 std::uint8_t position, FontSelector font_selector,
                                                 std::span<const std::uint8_t> embellishments, Bytes& out,
                                                 QvfWriter& writer) {
  const std::uint8_t t = styled_typeface(typeface, font_selector, out, writer);
  write_table_char_with_embellishments(t, code, has_position, position, embellishments, out);
}

Status write_char(char32_t ch, Bytes& out, QvfWriter& writer) {
  if (const CharStyle* known = table_or_ascii_style(ch)) {
    write_styled_table_char(known->typeface, known->code, known->has_position, known->position,
                            known->font_selector, out, writer);
    return {};
  }
  QV_ASSIGN_OR_RETURN(const CharStyle style, fallback_char_style(ch));
  write_styled_table_char(style.typeface, style.code, style.has_position, style.position, style.font_selector,
                          out, writer);
  return {};
}

Status write_command_symbol_with_embellishments(std::string_view name, char32_t ch,
                                                std::span<const std::uint8_t> embellishments, Bytes& out,
                                                QvfWriter& writer) {
  const CommandSymbolEntry* entry = find_command_symbol(name);
  if (entry == nullptr) {
    std::string message = "missing generated command-specific symbol: \\";
    message += name;
    return make_error(std::move(message));
  }
  if (entry->ch != ch) {
    std::string message = "generated command-specific symbol mismatch for \\";
    message += name;
    message += ": expected ";
    append_utf8(message, entry->ch);
    message += ", got ";
    append_utf8(message, ch);
    return make_error(std::move(message));
  }
  const CharStyle& s = entry->style;
  if (embellishments.empty()) {
    write_styled_table_char(s.typeface, s.code, s.has_position, s.position, s.font_selector, out, writer);
  } else {
    write_styled_table_char_with_embellishments(s.typeface, s.code, s.has_position, s.position,
                                                s.font_selector, embellishments, out, writer);
  }
  return {};
}

std::vector<std::uint8_t> prime_embellishment_codes(std::size_t n) {
  constexpr std::uint8_t kPrime = 5;
  constexpr std::uint8_t kDoublePrime = 6;
  switch (n) {
    case 0: return {};
    case 1: return {kPrime};
    default: {
      std::vector<std::uint8_t> codes(n - 1, kPrime);
      codes.front() = kDoublePrime;
      return codes;
    }
  }
}

std::optional<char32_t> first_plain_char(const ast::Expr& expr) {
  if (const auto* c = descend(expr, through::kSequence | through::kStyle).get_if<ast::Char>()) return c->ch;
  return std::nullopt;
}

bool expr_starts_with_calvane_math_one(const ast::Expr& expr) { return leading_calvane_fonts(expr).math_one; }
bool expr_starts_with_calvane_math_two(const ast::Expr& expr) { return leading_calvane_fonts(expr).math_two; }
bool expr_starts_with_calvane_fraktur(const ast::Expr& expr) { return leading_calvane_fonts(expr).fraktur; }

}  // namespace quorvix::qvf
