#include "qvf/definitions/fixed_defs_eqp.h"

#include <algorithm>
#include <array>
#include <vector>

#include "quorvix_ansi/unicode_text.h"
#include "qvf/definitions/eqp_keys.h"
#include "qvf/stream/records.h"

namespace quorvix::qvf {

namespace {

using quorvix_ansi::trim_white_space;

// The required styles; the optional Far-East text style follows them.
constexpr std::span<const std::string_view> kRequiredStyleKeys =
    std::span(kStyleKeys).first(kStyleKeys.size() - 1);
constexpr std::string_view kFarEastStyleKey = kStyleKeys.back();

// Older preference files misspell this key.
constexpr std::string_view kStrikeThruKey = "StrikeThruThick";
constexpr std::string_view kStrikeThruAltKey = "StikeThruThick";

// Encoding indices of FONT_DEF records.
constexpr std::uint8_t kSymbolEncoding = 3;
constexpr std::uint8_t kExtraEncoding = 4;
constexpr std::uint8_t kBasicCodePagesEncoding = 5;
constexpr std::uint8_t kAllCodePagesEncoding = 6;

constexpr std::string_view kBasicCodePagesName = "WinAllBasicCodePages";
constexpr std::string_view kAllCodePagesName = "WinAllCodePages";

// SimSun's Chinese name in GBK, the default Far-East font.
constexpr std::array<std::uint8_t, 4> kSimSunGbkName = {0xCB, 0xCE, 0xCC, 0xE5};

constexpr std::size_t kMaxFontDefs = 254;
constexpr std::size_t kMaxListValues = 255;
constexpr std::uint8_t kDimensionEnd = 15;

struct UnitSuffix {
  std::string_view suffix;
  std::uint8_t unit;
};

// Tested in this order: the longer spellings of a unit before its short form.
constexpr UnitSuffix kUnitSuffixes[] = {
    {"points", kUnitPoints},
    {"point", kUnitPoints},
    {"pt", kUnitPoints},
    {"picas", kUnitPicas},
    {"pica", kUnitPicas},
    {"pc", kUnitPicas},
    {"centimeters", kUnitCentimeters},
    {"centimeter", kUnitCentimeters},
    {"cm", kUnitCentimeters},
    {"inches", kUnitInches},
    {"inch", kUnitInches},
    {"in", kUnitInches},
    {"%", kUnitPercent},
};

// The character starting at `pos` of `s`, as text for a message.
std::string_view char_at(std::string_view s, std::size_t pos) {
  return s.substr(pos, quorvix_ansi::decode_utf8(s, pos).length);
}

bool is_number_char(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; }

std::uint8_t number_char_code(char c) {
  if (c == '.') return 10;
  if (c == '-') return 11;
  return static_cast<std::uint8_t>(c - '0');
}

struct FontDef {
  std::uint8_t encoding;
  Bytes name;
};

struct StyleEntry {
  std::uint8_t font;
  std::uint8_t style;
};

Result<std::vector<Dimension>> read_dimensions(const EqpSection& section,
                                               std::span<const std::string_view> keys) {
  std::vector<Dimension> out;
  out.reserve(keys.size());
  for (std::string_view key : keys) {
    QV_ASSIGN_OR_RETURN(std::string_view value,
                        key == kStrikeThruKey
                            ? required_value(section, key, {kStrikeThruKey, kStrikeThruAltKey})
                            : required_value(section, key, {key}));
    QV_ASSIGN_OR_RETURN(Dimension d, parse_dimension(value));
    out.push_back(std::move(d));
  }
  return out;
}

Status write_dimension_list(const std::vector<Dimension>& values, const char* too_many, Bytes& out) {
  if (values.size() > kMaxListValues) return make_error(too_many);
  out.push_back(static_cast<std::uint8_t>(values.size()));
  return pack_dimension_array(values, out);
}

}  // namespace

Result<ParsedEqp> parse_eqp_text(std::string_view text) {
  ParsedEqp eqp;
  EqpSection* section = nullptr;  // lines before the first header are ignored
  // Until a section header has been read, the text may be any file at all: a
  // bad line is then not quoted, so that naming an unrelated file in a request
  // does not reveal its content.
  bool seen_header = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = trim_white_space(text.substr(start, end - start));
    start = end + 1;

    if (line.empty() || line.front() == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      seen_header = true;
      if (line == "[Styles]")
        section = &eqp.styles;
      else if (line == "[Sizes]")
        section = &eqp.sizes;
      else if (line == "[Spacing]")
        section = &eqp.spacing;
      else
        section = nullptr;
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      if (!seen_header) return make_error("not a preferences file");
      return make_error("invalid key/value line: " + std::string(line));
    }
    if (section == nullptr) continue;
    section->insert_or_assign(std::string(trim_white_space(line.substr(0, eq))),
                              std::string(trim_white_space(line.substr(eq + 1))));
  }
  return eqp;
}

Result<std::string_view> required_value(const EqpSection& section, std::string_view key,
                                        std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    auto it = section.find(name);
    if (it != section.end()) return std::string_view(it->second);
  }
  return make_error("missing `" + std::string(key) + "` in Quorvix prefs");
}

Result<Dimension> parse_dimension(std::string_view value) {
  const std::string_view trimmed = trim_white_space(value);
  std::string lower(trimmed);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });

  const UnitSuffix* unit = nullptr;
  for (const UnitSuffix& candidate : kUnitSuffixes) {
    if (std::string_view(lower).ends_with(candidate.suffix)) {
      unit = &candidate;
      break;
    }
  }
  if (unit == nullptr) return make_error("unsupported dimension `" + std::string(trimmed) + "`");

  // Lower-casing keeps byte positions, so the number is cut from the text as written.
  const std::string_view number = trim_white_space(trimmed.substr(0, trimmed.size() - unit->suffix.size()));
  if (number.empty()) return make_error("dimension value is empty");
  for (std::size_t i = 0; i < number.size(); ++i) {
    if (!is_number_char(number[i]))
      return make_error("unsupported dimension character `" + std::string(char_at(number, i)) + "` in `" +
                        std::string(trimmed) + "`");
  }
  return Dimension{std::string(number), unit->unit};
}

Result<StyleValue> parse_style_value(std::string_view value) {
  const std::string_view trimmed = trim_white_space(value);
  const std::size_t comma = trimmed.rfind(',');
  if (comma == std::string_view::npos) return StyleValue{std::string(trimmed), 0};

  StyleValue out{std::string(trim_white_space(trimmed.substr(0, comma))), 0};
  const std::string_view flags = trimmed.substr(comma + 1);
  for (std::size_t pos = 0; pos < flags.size();) {
    const quorvix_ansi::Utf8Step step = quorvix_ansi::decode_utf8(flags, pos);
    if (step.valid && quorvix_ansi::is_white_space(step.code_point)) {
      // skipped
    } else if (step.code_point == 'B' || step.code_point == 'b') {
      out.style |= 0x01;
    } else if (step.code_point == 'I' || step.code_point == 'i') {
      out.style |= 0x02;
    } else {
      return make_error("unsupported style flag `" + std::string(flags.substr(pos, step.length)) + "` in `" +
                        std::string(trimmed) + "`");
    }
    pos += step.length;
  }
  return out;
}

Result<Bytes> encode_font_name(std::string_view name) {
  for (char c : name)
    if (static_cast<unsigned char>(c) >= 0x80)
      return make_error("font name `" + std::string(name) + "` is not ASCII");
  return Bytes(name.begin(), name.end());
}

Status pack_dimension_array(std::span<const Dimension> dimensions, Bytes& out) {
  std::vector<std::uint8_t> codes;
  for (const Dimension& d : dimensions) {
    codes.push_back(d.unit);
    for (std::size_t i = 0; i < d.number.size(); ++i) {
      if (!is_number_char(d.number[i]))
        return make_error("unsupported dimension character `" + std::string(char_at(d.number, i)) + "`");
      codes.push_back(number_char_code(d.number[i]));
    }
    codes.push_back(kDimensionEnd);
  }
  for (std::size_t i = 0; i < codes.size(); i += 2) {
    const std::uint8_t low = i + 1 < codes.size() ? codes[i + 1] : 0;
    out.push_back(static_cast<std::uint8_t>((codes[i] << 4) | low));
  }
  return {};
}

Result<Bytes> build_fixed_defs(const ParsedEqp& eqp) {
  QV_ASSIGN_OR_RETURN(const std::vector<Dimension> sizes, read_dimensions(eqp.sizes, kSizeKeys));
  QV_ASSIGN_OR_RETURN(const std::vector<Dimension> spacing, read_dimensions(eqp.spacing, kSpacingKeys));

  // Styles naming the same font (and encoding) share one FONT_DEF, numbered
  // from 1 in order of first use.
  std::vector<FontDef> fonts;
  std::vector<StyleEntry> styles;
  styles.reserve(kStyleKeys.size());
  for (std::string_view key : kRequiredStyleKeys) {
    QV_ASSIGN_OR_RETURN(std::string_view value, required_value(eqp.styles, key, {key}));
    QV_ASSIGN_OR_RETURN(StyleValue style, parse_style_value(value));
    QV_ASSIGN_OR_RETURN(Bytes name, encode_font_name(style.font_name));
    const std::uint8_t encoding = style.font_name == "QV Extra" ? kExtraEncoding
                                  : style.font_name == "Symbol" ? kSymbolEncoding
                                                                : kBasicCodePagesEncoding;
    auto it = std::find_if(fonts.begin(), fonts.end(),
                           [&](const FontDef& f) { return f.encoding == encoding && f.name == name; });
    if (it == fonts.end()) {
      fonts.push_back({encoding, std::move(name)});
      it = fonts.end() - 1;
    }
    styles.push_back({static_cast<std::uint8_t>(it - fonts.begin() + 1), style.style});
  }

  // The Far-East text style always gets a FONT_DEF of its own, after the others.
  Bytes far_east_name(kSimSunGbkName.begin(), kSimSunGbkName.end());
  std::uint8_t far_east_style = 0;
  if (auto it = eqp.styles.find(kFarEastStyleKey); it != eqp.styles.end()) {
    QV_ASSIGN_OR_RETURN(StyleValue style, parse_style_value(it->second));
    if (style.font_name != "Songti" && style.font_name != "SimSun") {
      QV_ASSIGN_OR_RETURN(far_east_name, encode_font_name(style.font_name));
    }
    far_east_style = style.style;
  }
  if (fonts.size() + 1 > kMaxFontDefs) return make_error("too many FONT_DEF records");
  styles.push_back({static_cast<std::uint8_t>(fonts.size() + 1), far_east_style});

  Bytes out;
  out.reserve(256);
  QV_RETURN_IF_ERROR(write_encoding_def(kBasicCodePagesName, out));
  for (const FontDef& font : fonts) QV_RETURN_IF_ERROR(write_font_def(font.encoding, font.name, out));
  QV_RETURN_IF_ERROR(write_encoding_def(kAllCodePagesName, out));
  QV_RETURN_IF_ERROR(write_font_def(kAllCodePagesEncoding, far_east_name, out));

  append_record(out, {tag::kEqnPrefs, 0x00});
  QV_RETURN_IF_ERROR(write_dimension_list(sizes, "too many size values", out));
  QV_RETURN_IF_ERROR(write_dimension_list(spacing, "too many spacing values", out));
  if (styles.size() > kMaxListValues) return make_error("too many style values");
  out.push_back(static_cast<std::uint8_t>(styles.size()));
  for (const StyleEntry& entry : styles) {
    QV_RETURN_IF_ERROR(write_unsigned(entry.font, out));
    out.push_back(entry.style);
  }
  return out;
}

Result<Bytes> build_fixed_defs_from_eqp_text(std::string_view text) {
  QV_ASSIGN_OR_RETURN(const ParsedEqp eqp, parse_eqp_text(text));
  return build_fixed_defs(eqp);
}

}  // namespace quorvix::qvf
