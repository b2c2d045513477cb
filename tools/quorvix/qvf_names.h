// Human-readable names for the codes found in a QVF record stream: record
// tags, template selectors and variations, embellishments, typefaces and the
// keys of the EQN_PREFS record. Used by the record inspector.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "qvf/definitions/eqp_keys.h"

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

// The names of the EQN_PREFS record's sizes, spacing and styles, in record
// order; typeface numbers 1 to 12 follow the styles.
using qvf::kSizeKeys;
using qvf::kSpacingKeys;
using qvf::kStyleKeys;

// Unit of a packed dimension: "in", "cm", "pt", "pc", "%", or empty.
std::string_view dimension_unit_name(unsigned code);

// "regular", "bold", "italic", "bold italic", plus any unknown bits in hex.
std::string character_style_name(std::uint8_t style);

// Known colour definitions of the writer, by their 16-bit components.
std::string_view known_colour_name(std::uint16_t red, std::uint16_t green, std::uint16_t blue);

}  // namespace quorvix::tools
