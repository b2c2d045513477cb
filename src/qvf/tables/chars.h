// How one character becomes a CHAR record: character styles, the generated
// character and command-symbol tables, and the fonts defined on demand.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "common/bytes.h"
#include "common/result.h"
#include "qvf/writer/write_result.h"
#include "qvf/writer/writer_state.h"

namespace quorvix::qvf {

// The font a character style draws from: one of the two Calvane math fonts
// (defined on first use), or the style's own typeface byte.
enum class FontSelector : std::uint8_t {
  CalvaneMathOne = 0,
  CalvaneMathTwo = 1,
  Typeface = 2,
};

struct CharStyle {
  bool has_position = false;
  std::uint8_t position = 0;
  std::uint16_t code = 0;
  FontSelector font_selector = FontSelector::Typeface;
  std::uint8_t typeface = 0;  // typeface number + 128; used with FontSelector::Typeface
};

Result<CharStyle> resolve_char_style(char32_t ch);
bool is_math_symbol_char(char32_t c);

// The character table, in its listed order (first match wins).
struct CharTableEntry {
  char32_t ch;
  CharStyle style;
};
std::span<const CharTableEntry> char_table();
// The style the character table gives `ch` (nullptr when absent).
const CharStyle* find_char_table_style(char32_t ch);

// Looks a command up in the command symbol table (nullptr when absent).
struct CommandSymbolEntry {
  std::string_view name;
  char32_t ch;
  CharStyle style;
};
const CommandSymbolEntry* find_command_symbol(std::string_view name);
// The command symbol table, in its listed order.
std::span<const CommandSymbolEntry> command_symbol_table();

Status write_char(char32_t ch, Bytes& out, QvfWriter& writer);
void write_styled_table_char(std::uint8_t typeface, std::uint16_t code, bool has_position,
                             std::uint8_t position, FontSelector font_selector, Bytes& out,
                             QvfWriter& writer);
void write_styled_table_char_with_embellishments(std::uint8_t typeface, std::uint16_t code, bool has_position,
                                                 std::uint8_t position, FontSelector font_selector,
                                                 std::span<const std::uint8_t> embellishments, Bytes& out,
                                                 QvfWriter& writer);

Status write_font_char(ast::FontKind kind, char32_t ch, Bytes& out, QvfWriter& writer);
WriteResult write_font_expr(ast::FontKind kind, const ast::Expr& body, Bytes& out, SizeLevel size,
                            QvfWriter& writer);
ast::Expr font_wrapped_expr(ast::FontKind kind, const ast::Expr& expr);

Status write_command_symbol_with_embellishments(std::string_view name, char32_t ch,
                                                std::span<const std::uint8_t> embellishments, Bytes& out,
                                                QvfWriter& writer);
std::vector<std::uint8_t> prime_embellishment_codes(std::size_t n);

// Fonts defined on demand, each written at most once per stream, right before
// the first record that needs it. Each returns the typeface byte characters
// in the font use.
std::uint8_t ensure_on_demand_font(OnDemandFont font, Bytes& out, QvfWriter& writer);
inline std::uint8_t ensure_calvane_math_one(Bytes& out, QvfWriter& writer) {
  return ensure_on_demand_font(OnDemandFont::CalvaneMathOne, out, writer);
}
inline std::uint8_t ensure_bold_calvane_math_one(Bytes& out, QvfWriter& writer) {
  return ensure_on_demand_font(OnDemandFont::BoldCalvaneMathOne, out, writer);
}
inline std::uint8_t ensure_calvane_math_two(Bytes& out, QvfWriter& writer) {
  return ensure_on_demand_font(OnDemandFont::CalvaneMathTwo, out, writer);
}
inline std::uint8_t ensure_calvane_fraktur(Bytes& out, QvfWriter& writer) {
  return ensure_on_demand_font(OnDemandFont::CalvaneFraktur, out, writer);
}
inline std::uint8_t ensure_arial(Bytes& out, QvfWriter& writer) {
  return ensure_on_demand_font(OnDemandFont::Arial, out, writer);
}
// The bold style of Calvane Math One when `expr` starts with a bold letter or
// digit, else the regular style.
void ensure_calvane_math_one_for_expr(const ast::Expr& expr, Bytes& out, QvfWriter& writer);

// Which of the Calvane fonts the first character of `expr` (found through
// sequences, styles, script bases, leading visible parts and fonts of other
// alphabets) is drawn in; found with one walk.
struct LeadingCalvaneFonts {
  bool math_one = false;
  bool math_two = false;
  bool fraktur = false;

  bool any() const { return math_one || math_two || fraktur; }
};
LeadingCalvaneFonts leading_calvane_fonts(const ast::Expr& expr);

// Single answers of leading_calvane_fonts.
bool expr_starts_with_calvane_math_one(const ast::Expr& expr);
bool expr_starts_with_calvane_math_two(const ast::Expr& expr);
bool expr_starts_with_calvane_fraktur(const ast::Expr& expr);
bool font_item_needs_explicit_font_def_before_black(ast::FontKind kind, const ast::Expr& item);

// The first `Char` reached through the first items of non-empty sequences and
// `Style` bodies.
std::optional<char32_t> first_plain_char(const ast::Expr& expr);

}  // namespace quorvix::qvf
