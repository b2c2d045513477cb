// Human-readable names for the codes found in a QVF record stream: record
// tags, template selectors and variations, embellishments, typefaces and the
// keys of the EQN_PREFS record. Used by the record inspector.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quorvix::tools {

// The record name of a tag ("LINE", "CHAR", ...), or an empty view when the
// tag is not a record of this format.
std::string_view record_tag_name(std::uint8_t tag);

// A template: what the selector draws, what the variation adds, and the
// names of its slots in order (empty names past the known ones).
struct TemplateDescription {
  std::string name;
  std::string variation;  // empty when the variation has no known meaning
  std::span<const std::string_view> slots;
};
TemplateDescription describe_template(std::uint8_t selector, std::uint8_t variation);

// The name of an embellishment code ("hat", "prime", ...), or empty.
std::string_view embellishment_name(std::uint8_t code);

// The size records FULL .. SUBSYM (tags 10 to 14): what they select.
std::string_view size_record_meaning(std::uint8_t tag);

// Typeface numbers 1 to 12 follow the style table of the EQN_PREFS record.
inline constexpr std::array<std::string_view, 12> kStyleNames = {"Text",    "Function", "Variable", "LCGreek",
                                                                 "UCGreek", "Symbol",   "Vector",   "Number",
                                                                 "User1",   "User2",    "QVExtra",  "TextFE"};
inline constexpr std::array<std::string_view, 8> kSizeNames = {
    "Full", "Script", "ScriptScript", "Symbol", "SubSymbol", "User1", "User2", "SmallLargeIncr"};
inline constexpr std::array<std::string_view, 30> kSpacingNames = {
    "LineSpacing",    "MatrixRowSpacing", "MatrixColSpacing", "SuperscriptHeight", "SubscriptDepth",
    "SubSupGap",      "LimHeight",        "LimDepth",         "LimLineSpacing",    "NumerHeight",
    "DenomDepth",     "FractBarOver",     "FractBarThick",    "SubFractBarThick",  "FractGap",
    "FenceOver",      "OperSpacing",      "NonOperSpacing",   "CharWidth",         "MinGap",
    "VertRadGap",     "HorizRadGap",      "RadWidth",         "EmbellGap",         "PrimeHeight",
    "BoxStrokeThick", "StrikeThruThick",  "MatrixLineThick",  "RadStrokeThick",    "HorizFenceGap"};

// Unit of a packed dimension: "in", "cm", "pt", "pc", "%", or empty.
std::string_view dimension_unit_name(unsigned code);

// "regular", "bold", "italic", "bold italic", plus any unknown bits in hex.
std::string character_style_name(std::uint8_t style);

// Known colour definitions of the writer, by their 16-bit components.
std::string_view known_colour_name(std::uint16_t red, std::uint16_t green, std::uint16_t blue);

}  // namespace quorvix::tools
