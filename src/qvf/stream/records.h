// Record tags and the small record writers every part of the stream uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/bytes.h"
#include "common/result.h"

namespace quorvix::qvf {

namespace tag {
inline constexpr std::uint8_t kEnd = 0;
inline constexpr std::uint8_t kLine = 1;
inline constexpr std::uint8_t kChar = 2;
inline constexpr std::uint8_t kTmpl = 3;
inline constexpr std::uint8_t kPile = 4;
inline constexpr std::uint8_t kMatrix = 5;
inline constexpr std::uint8_t kEmbell = 6;
inline constexpr std::uint8_t kRuler = 7;
inline constexpr std::uint8_t kFontStyleDef = 8;
inline constexpr std::uint8_t kSize = 9;
inline constexpr std::uint8_t kFull = 10;
inline constexpr std::uint8_t kSub = 11;
inline constexpr std::uint8_t kSub2 = 12;
inline constexpr std::uint8_t kSym = 13;
inline constexpr std::uint8_t kSubSym = 14;
inline constexpr std::uint8_t kColor = 15;
inline constexpr std::uint8_t kColorDef = 16;
inline constexpr std::uint8_t kFontDef = 17;
inline constexpr std::uint8_t kEqnPrefs = 18;
inline constexpr std::uint8_t kEncodingDef = 19;
inline constexpr std::uint8_t kTexSource = 102;
}  // namespace tag

// CHAR option bits.
inline constexpr std::uint8_t kCharHasEmbellishments = 0x01;
inline constexpr std::uint8_t kCharHasPosition = 0x04;

// Appends the variable-length unsigned integer: one byte for 0..254, else
// 0xFF and 16 bits. Values above 65535 fail.
Status write_unsigned(std::size_t value, Bytes& out);

void color_default(Bytes& out);                              // 0F 00
void color_black(Bytes& out);                                // 0F 01
void write_null_line(Bytes& out);                            // 01 01
void write_expanding_glyph(std::uint16_t code, Bytes& out);  // 02 00 96 code

void write_table_char(std::uint8_t typeface, std::uint16_t code, bool has_position, std::uint8_t position,
                      Bytes& out);
void write_table_char_with_embellishments(std::uint8_t typeface, std::uint16_t code, bool has_position,
                                          std::uint8_t position, std::span<const std::uint8_t> embellishments,
                                          Bytes& out);

// Font and encoding definitions, shared by the definition block and the fonts
// the writer defines on demand.
// ENCODING_DEF: tag, name, NUL. Fails when the name contains a NUL.
Status write_encoding_def(std::string_view name, Bytes& out);
// FONT_DEF: tag, encoding index (unsigned), name, NUL. Fails when the name
// contains a NUL.
Status write_font_def(std::uint8_t encoding_index, std::span<const std::uint8_t> name, Bytes& out);
// FONT_STYLE_DEF: tag, font index (unsigned), character style byte (0x01
// bold, 0x02 italic).
void write_font_style_def(std::uint8_t font_index, std::uint8_t style, Bytes& out);

// The bytes of a name, for write_font_def.
inline std::span<const std::uint8_t> name_bytes(std::string_view name) {
  return {reinterpret_cast<const std::uint8_t*>(name.data()), name.size()};
}

// The black colour definition: COLOR_DEF, RGB, all components 0.
inline constexpr std::uint8_t kBlackColorDef[8] = {0x10, 0, 0, 0, 0, 0, 0, 0};

}  // namespace quorvix::qvf
