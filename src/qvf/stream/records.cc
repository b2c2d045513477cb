#include "qvf/stream/records.h"

#include <algorithm>
#include <string>

namespace quorvix::qvf {

namespace {

// The unsigned form of a value below 256: one byte, or FF and 16 bits for 255.
void write_small_unsigned(std::uint8_t value, Bytes& out) {
  if (value < 0xFF) {
    out.push_back(value);
  } else {
    out.push_back(0xFF);
    append_u16le(out, value);
  }
}

}  // namespace

Status write_unsigned(std::size_t value, Bytes& out) {
  if (value < 0xFF) {
    out.push_back(static_cast<std::uint8_t>(value));
    return {};
  }
  if (value > 0xFFFF)
    return make_error("value is too large for an QVF unsigned integer: " + std::to_string(value));
  out.push_back(0xFF);
  append_u16le(out, static_cast<std::uint16_t>(value));
  return {};
}

void color_default(Bytes& out) { append_record(out, {tag::kColor, 0x00}); }
void color_black(Bytes& out) { append_record(out, {tag::kColor, 0x01}); }
void write_null_line(Bytes& out) { append_record(out, {tag::kLine, 0x01}); }

void write_expanding_glyph(std::uint16_t code, Bytes& out) {
  append_record(out, {tag::kChar, 0x00, 0x96});
  append_u16le(out, code);
}

void write_table_char(std::uint8_t typeface, std::uint16_t code, bool has_position, std::uint8_t position,
                      Bytes& out) {
  append_record(out, {tag::kChar, has_position ? kCharHasPosition : std::uint8_t{0}, typeface});
  append_u16le(out, code);
  if (has_position) out.push_back(position);
}

void write_table_char_with_embellishments(std::uint8_t typeface, std::uint16_t code, bool has_position,
                                          std::uint8_t position, std::span<const std::uint8_t> embellishments,
                                          Bytes& out) {
  std::uint8_t options = kCharHasEmbellishments;
  if (has_position) options |= kCharHasPosition;
  append_record(out, {tag::kChar, options, typeface});
  append_u16le(out, code);
  if (has_position) out.push_back(position);
  for (std::uint8_t e : embellishments) append_record(out, {tag::kEmbell, 0x00, e});
  out.push_back(tag::kEnd);
}

Status write_encoding_def(std::string_view name, Bytes& out) {
  if (name.find('\0') != std::string_view::npos) return make_error("encoding name contains NUL");
  out.push_back(tag::kEncodingDef);
  append_bytes(out, name);
  out.push_back(0);
  return {};
}

Status write_font_def(std::uint8_t encoding_index, std::span<const std::uint8_t> name, Bytes& out) {
  if (std::find(name.begin(), name.end(), 0) != name.end()) return make_error("font name contains NUL");
  out.push_back(tag::kFontDef);
  write_small_unsigned(encoding_index, out);
  out.insert(out.end(), name.begin(), name.end());
  out.push_back(0);
  return {};
}

void write_font_style_def(std::uint8_t font_index, std::uint8_t style, Bytes& out) {
  out.push_back(tag::kFontStyleDef);
  write_small_unsigned(font_index, out);
  out.push_back(style);
}

}  // namespace quorvix::qvf
