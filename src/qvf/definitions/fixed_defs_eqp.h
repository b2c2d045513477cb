// Preferences text (".eqp": [Styles], [Sizes] and [Spacing] sections of
// key=value lines) and the definition block built from it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "common/bytes.h"
#include "common/result.h"
#include "qvf/stream/records.h"  // write_font_def, write_encoding_def

namespace quorvix::qvf {

// Unit codes of packed dimensions.
inline constexpr std::uint8_t kUnitInches = 0;
inline constexpr std::uint8_t kUnitCentimeters = 1;
inline constexpr std::uint8_t kUnitPoints = 2;
inline constexpr std::uint8_t kUnitPicas = 3;
inline constexpr std::uint8_t kUnitPercent = 4;

// A size or spacing value: the number as written (digits, '.', '-') and its unit.
struct Dimension {
  std::string number;
  std::uint8_t unit = kUnitPoints;
  friend bool operator==(const Dimension&, const Dimension&) = default;
};

// A style value: font name and style byte (0x01 bold, 0x02 italic).
struct StyleValue {
  std::string font_name;
  std::uint8_t style = 0;
  friend bool operator==(const StyleValue&, const StyleValue&) = default;
};

using EqpSection = std::map<std::string, std::string, std::less<>>;

// The three sections of a preferences text; a later duplicate key replaces an earlier one.
struct ParsedEqp {
  EqpSection styles;
  EqpSection sizes;
  EqpSection spacing;
};

// A line that is neither blank, a comment, a section header nor a key=value
// pair fails with "invalid key/value line: LINE", or with "not a preferences
// file" when no section header came before it (the text is then not quoted).
Result<ParsedEqp> parse_eqp_text(std::string_view text);

// Parses the text and builds the definition block from it.
Result<Bytes> build_fixed_defs_from_eqp_text(std::string_view text);
Result<Bytes> build_fixed_defs(const ParsedEqp& eqp);

Result<Dimension> parse_dimension(std::string_view value);
Result<StyleValue> parse_style_value(std::string_view value);

// Appends the dimensions as 4-bit codes, two per byte, high half first: per
// dimension its unit, one code per number character, then 15.
Status pack_dimension_array(std::span<const Dimension> dimensions, Bytes& out);

Result<Bytes> encode_font_name(std::string_view name);

// The value of the first of `names` present in `section`; fails naming `key`.
Result<std::string_view> required_value(const EqpSection& section, std::string_view key,
                                        std::initializer_list<std::string_view> names);

}  // namespace quorvix::qvf
