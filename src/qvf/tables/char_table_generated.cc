// Generated table: the character table of the equation writer. One row per
// entry, in the listed order; when a character occurs twice, the first row
// wins. A row gives the character, then (when it differs) the 16-bit code
// written for it, then the 8-bit font position.
#include <iterator>

#include "qvf/tables/chars.h"
#include "common/sorted_table.h"

namespace quorvix::qvf {
namespace {

constexpr CharTableEntry at(std::uint8_t typeface, char32_t ch, std::uint8_t position) {
  return {ch, CharStyle{true, position, static_cast<std::uint16_t>(ch), kSelectorTypeface, typeface}};
}
constexpr CharTableEntry at_coded(std::uint8_t typeface, char32_t ch, std::uint16_t code,
                                  std::uint8_t position) {
  return {ch, CharStyle{true, position, code, kSelectorTypeface, typeface}};
}
constexpr CharTableEntry plain(std::uint8_t typeface, char32_t ch) {
  return {ch, CharStyle{false, 0, static_cast<std::uint16_t>(ch), kSelectorTypeface, typeface}};
}
constexpr CharTableEntry plain_coded(std::uint8_t typeface, char32_t ch, std::uint16_t code) {
  return {ch, CharStyle{false, 0, code, kSelectorTypeface, typeface}};
}
// Calvane entries carry typeface byte 127; the writer substitutes the byte the
// font was given when it was defined.
constexpr CharTableEntry math_one(char32_t ch, std::uint8_t position) {
  return {ch, CharStyle{true, position, static_cast<std::uint16_t>(ch), kSelectorCalvaneMathOne, 127}};
}
constexpr CharTableEntry math_one_coded(char32_t ch, std::uint16_t code, std::uint8_t position) {
  return {ch, CharStyle{true, position, code, kSelectorCalvaneMathOne, 127}};
}
constexpr CharTableEntry math_two(char32_t ch, std::uint8_t position) {
  return {ch, CharStyle{true, position, static_cast<std::uint16_t>(ch), kSelectorCalvaneMathTwo, 127}};
}
constexpr CharTableEntry math_two_coded(char32_t ch, std::uint16_t code, std::uint8_t position) {
  return {ch, CharStyle{true, position, code, kSelectorCalvaneMathTwo, 127}};
}

// clang-format off
constexpr CharTableEntry kCharTable[] = {
    // Typeface byte 132, with position.
    at(132, 0x03B1, 0x61),
    at(132, 0x03B2, 0x62),
    at(132, 0x03B3, 0x67),
    at(132, 0x03B4, 0x64),
    at(132, 0x03BB, 0x6C),
    at(132, 0x03C0, 0x70),
    at(132, 0x03C1, 0x72),
    at(132, 0x03C7, 0x63),
    at(132, 0x03C9, 0x77),
    at(132, 0x03B6, 0x7A),
    at(132, 0x03B7, 0x68),
    at(132, 0x03B8, 0x71),
    at(132, 0x03B9, 0x69),
    at(132, 0x03BA, 0x6B),
    at(132, 0x03BE, 0x78),
    at(132, 0x03BC, 0x6D),
    at(132, 0x03BD, 0x6E),
    at(132, 0x03C3, 0x73),
    at(132, 0x03C4, 0x74),
    at(132, 0x03C5, 0x75),
    at(132, 0x03D5, 0x66),
    at(132, 0x03C8, 0x79),
    at(132, 0x03B5, 0x65),
    at(132, 0x03D1, 0x4A),
    at(132, 0x03D6, 0x76),
    at(132, 0x03C2, 0x56),
    at(132, 0x03C6, 0x6A),
    // Typeface byte 133, with position.
    at(133, 0x0394, 0x44),
    at(133, 0x03A8, 0x59),
    at(133, 0x0391, 0x41),
    at(133, 0x0392, 0x42),
    at(133, 0x03A7, 0x43),
    at(133, 0x0395, 0x45),
    at(133, 0x0397, 0x48),
    at(133, 0x0399, 0x49),
    at(133, 0x039A, 0x4B),
    at(133, 0x039C, 0x4D),
    at(133, 0x039D, 0x4E),
    at(133, 0x03A1, 0x52),
    at(133, 0x03A4, 0x54),
    at(133, 0x0398, 0x51),
    at(133, 0x039E, 0x58),
    at(133, 0x03A0, 0x50),
    at(133, 0x03A3, 0x53),
    at(133, 0x03A5, 0x55),
    at(133, 0x03A6, 0x46),
    at(133, 0x03A9, 0x57),
    at(133, 0x039B, 0x4C),
    at(133, 0x0393, 0x47),
    at(133, 0x0396, 0x5A),
    // Typeface byte 134, with position.
    at(134, 0x00D7, 0xB4),
    at(134, 0x22C5, 0xD7),
    at(134, 0x2208, 0xCE),
    at(134, 0x221E, 0xA5),
    at(134, 0x2190, 0xAC),
    at(134, 0x2026, 0xBC),
    at(134, 0x2260, 0xB9),
    at(134, 0x2265, 0xB3),
    at(134, 0x2203, 0x24),
    at(134, 0x2205, 0xC6),
    at(134, 0x2234, 0x5C),
    at(134, 0x2282, 0xCC),
    at(134, 0x2283, 0xC9),
    at(134, 0x2286, 0xCD),
    at(134, 0x2287, 0xCA),
    at(134, 0x2209, 0xCF),
    at(134, 0x00AC, 0xD8),
    at(134, 0x2227, 0xD9),
    at(134, 0x2228, 0xDA),
    at(134, 0x2194, 0xAB),
    at(134, 0x21D0, 0xDC),
    at(134, 0x21D2, 0xDE),
    at(134, 0x21D4, 0xDB),
    at(134, 0x2191, 0xAD),
    at(134, 0x2193, 0xAF),
    at(134, 0x21D1, 0xDD),
    at(134, 0x21D3, 0xDF),
    at(134, 0x2229, 0xC7),
    at(134, 0x00F7, 0xB8),
    at(134, 0x2217, 0x2A),
    at(134, 0x2245, 0x40),
    at(134, 0x22A5, 0x5E),
    at(134, 0x2261, 0xBA),
    at(134, 0x2192, 0xAE),
    at(134, 0x2207, 0xD1),
    at(134, 0x2200, 0x22),
    at(134, 0x220D, 0x27),
    at(134, 0x2135, 0xC0),
    at(134, 0x2220, 0xD0),
    at(134, 0x22C4, 0xE0),
    at_coded(134, 0x29EB, 0x2666, 0xA8),
    at(134, 0x2663, 0xA7),
    at(134, 0x2660, 0xAA),
    at(134, 0x211C, 0xC2),
    at(134, 0x2111, 0xC1),
    at(134, 0x2118, 0xC3),
    at(134, 0x2295, 0xC5),
    at(134, 0x2297, 0xC4),
    at(134, 0x221D, 0xB5),
    at(134, 0x2248, 0xBB),
    at(134, 0x2202, 0xB6),
    at(134, 0x2264, 0xA3),
    at(134, 0x00B1, 0xB1),
    at(134, 0x00B0, 0xB0),
    at(134, 0x222A, 0xC8),
    // Typeface byte 139, with position.
    at(139, 0x2235, 0x51),
    at(139, 0x21A6, 0x61),
    at(139, 0x2195, 0x62),
    at(139, 0x21D5, 0x63),
    at(139, 0x2196, 0x5E),
    at(139, 0x2197, 0x5A),
    at(139, 0x2199, 0x5B),
    at(139, 0x2198, 0x5D),
    at_coded(139, 0x27F8, 0xFFFD, 0x6E),
    at_coded(139, 0x27FA, 0xFFFD, 0x6E),
    at_coded(139, 0x27F9, 0xFFFD, 0x6E),
    at(139, 0x21C0, 0x86),
    at(139, 0x2213, 0x6D),
    at(139, 0x2299, 0x65),
    at(139, 0x25A1, 0x57),
    at_coded(139, 0x25C7, 0xFFFD, 0x6E),
    at(139, 0x2210, 0x43),
    at(139, 0x226A, 0x3D),
    at(139, 0x226B, 0x3F),
    at(139, 0x2243, 0x3B),
    at_coded(139, 0x22CD, 0xFFFD, 0x6E),
    at(139, 0x2250, 0x42),
    at(139, 0x2225, 0x50),
    at(139, 0x227A, 0x70),
    at(139, 0x227B, 0x66),
    at_coded(139, 0x227C, 0xFFFD, 0x6E),
    at_coded(139, 0x22C8, 0xFFFD, 0x6E),
    at(139, 0x225C, 0x40),
    at(139, 0x22B2, 0x3C),
    at(139, 0x22B3, 0x3E),
    at_coded(139, 0x226C, 0xFFFD, 0x6E),
    at(139, 0x25B3, 0x56),
    at(139, 0x2127, 0x4A),
    at_coded(139, 0x2713, 0xFFFD, 0x6E),
    at(139, 0x2113, 0x6C),
    at(139, 0x210F, 0x68),
    at(139, 0x22EF, 0x4C),
    at(139, 0x22EE, 0x4D),
    at(139, 0x22F1, 0x4F),
    at(139, 0x2035, 0x60),
    // Typeface byte 140, no position.
    plain(140, 0x220B),
    plain(140, 0x25EF),
    plain(140, 0x223D),
    plain(140, 0x2252),
    plain(140, 0x25BD),
    plain(140, 0x25B2),
    plain(140, 0x25BC),
    plain(140, 0x25C0),
    plain(140, 0x25B6),
    plain(140, 0x2016),
    plain(140, 0x25A0),
    plain(140, 0x2605),
    plain(140, 0x2661),
    plain(140, 0x266D),
    plain(140, 0x266F),
    // Typeface byte 130, no position.
    plain(130, 0x0026),
    plain(130, 0x2022),
    plain(130, 0x00B7),
    plain(130, 0x00B6),
    plain(130, 0x00A7),
    plain_coded(130, 0x223C, 0x007E),
    plain(130, 0x005C),
    plain(130, 0x00F0),
    plain(130, 0x2020),
    plain(130, 0x2021),
    // Typeface byte 131, no position.
    plain(131, 0x0131),
    // Typeface byte 152, no position.
    plain(152, 0xEF01),
    // Calvane Math One.
    math_one(0x03F5, 0xF2),
    math_one(0x03F1, 0xF1),
    math_one(0x21B0, 0xCB),
    math_one(0x21B1, 0xCA),
    math_one(0x21BC, 0xB4),
    math_one(0x2296, 0x21),
    math_one(0x2298, 0x25),
    math_one(0x2216, 0x82),
    math_one(0x2214, 0xEA),
    math_one(0x22C6, 0xE5),
    math_one(0x229B, 0x23),
    math_one(0x229A, 0x22),
    math_one(0x224D, 0xA9),
    math_one(0x224A, 0xAC),
    math_one(0x224F, 0xA6),
    math_one(0x2251, 0xA4),
    math_one(0x2253, 0xA3),
    math_one(0x2256, 0xA2),
    math_one(0x2257, 0xA1),
    math_one(0x224E, 0xA7),
    math_one(0x22A8, 0x91),
    math_one(0x22A2, 0x90),
    math_one(0x22A3, 0x94),
    math_one(0x22A9, 0x92),
    math_one(0x22AA, 0x93),
    math_one(0x22AC, 0x96),
    math_one(0x22AD, 0x97),
    math_one(0x22AE, 0x98),
    math_one(0x22AF, 0x99),
    math_one(0x22C7, 0xE6),
    math_one(0x22BA, 0xFA),
    math_one(0x22CB, 0xE0),
    math_one(0x22C9, 0xE2),
    math_one(0x22CC, 0xE1),
    math_one(0x22CA, 0xE3),
    math_one(0x21DA, 0xC9),
    math_one(0x21DB, 0xC8),
    math_one(0x21BA, 0xD3),
    math_one(0x21BB, 0xD2),
    math_one(0x21CD, 0xBE),
    math_one(0x21CF, 0xBF),
    math_one(0x21CE, 0xC1),
    math_one(0x2201, 0xF0),
    math_one(0x2136, 0xFB),
    math_one(0x22A4, 0x95),
    math_one(0x22A1, 0x2A),
    math_one(0x229F, 0x27),
    math_one(0x229E, 0x28),
    math_one(0x22A0, 0x29),
    math_one(0x24C8, 0x26),
    math_one(0x266E, 0xE8),
    math_one_coded(0x0237, 0xED02, 0xF8),
    math_one(0x03DC, 0xF4),
    math_one(0x03F0, 0xF9),
    math_one_coded(0x2141, 0xED01, 0xF6),
    math_one(0x2132, 0xF5),
    math_one(0x2204, 0xF3),
    // Calvane Math Two.
    math_two(0x22D2, 0xD3),
    math_two(0x22D3, 0xD2),
    math_two(0x228E, 0xE2),
    math_two(0x2293, 0xF3),
    math_two(0x2294, 0xF2),
    math_two(0x227D, 0xB1),
    math_two(0x22D0, 0xD0),
    math_two(0x22D1, 0xD1),
    math_two(0x22BC, 0xAA),
    math_two(0x22CE, 0xCB),
    math_two(0x22CF, 0xCA),
    math_two(0x2306, 0xAB),
    math_two(0x22D6, 0x80),
    math_two_coded(0x1D55C, 0xF0A4, 0x6B),
};
// clang-format on

static_assert(std::size(kCharTable) == 243);

constexpr auto char_key = [](const CharTableEntry& e) { return e.ch; };
constexpr auto kCharIndex = sorted_table_index(kCharTable, char_key);

}  // namespace

std::span<const CharTableEntry> char_table() { return kCharTable; }

const CharStyle* find_char_table_style(char32_t ch) {
  const CharTableEntry* e = find_in_table(kCharTable, kCharIndex, char_key, ch);
  return e ? &e->style : nullptr;
}

}  // namespace quorvix::qvf
