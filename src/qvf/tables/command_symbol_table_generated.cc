// Generated table: the symbol commands whose glyph differs from what the
// character table gives their character. One row per entry, in the listed
// order: command name (without backslash), the character the parser assigns,
// then (when it differs) the 16-bit code written for it, then the 8-bit font
// position.
#include <iterator>

#include "qvf/tables/chars.h"
#include "common/sorted_table.h"

namespace quorvix::qvf {
namespace {

constexpr CommandSymbolEntry at(std::uint8_t typeface, std::string_view name, char32_t ch,
                                std::uint8_t position) {
  return {name, ch, CharStyle{true, position, static_cast<std::uint16_t>(ch), kSelectorTypeface, typeface}};
}
constexpr CommandSymbolEntry at_coded(std::uint8_t typeface, std::string_view name, char32_t ch,
                                      std::uint16_t code, std::uint8_t position) {
  return {name, ch, CharStyle{true, position, code, kSelectorTypeface, typeface}};
}
constexpr CommandSymbolEntry plain(std::uint8_t typeface, std::string_view name, char32_t ch) {
  return {name, ch, CharStyle{false, 0, static_cast<std::uint16_t>(ch), kSelectorTypeface, typeface}};
}
// Calvane entries carry typeface byte 127; the writer substitutes the byte the
// font was given when it was defined.
constexpr CommandSymbolEntry math_one(std::string_view name, char32_t ch, std::uint8_t position) {
  return {name, ch, CharStyle{true, position, static_cast<std::uint16_t>(ch), kSelectorCalvaneMathOne, 127}};
}
constexpr CommandSymbolEntry math_one_coded(std::string_view name, char32_t ch, std::uint16_t code,
                                            std::uint8_t position) {
  return {name, ch, CharStyle{true, position, code, kSelectorCalvaneMathOne, 127}};
}
constexpr CommandSymbolEntry math_two(std::string_view name, char32_t ch, std::uint8_t position) {
  return {name, ch, CharStyle{true, position, static_cast<std::uint16_t>(ch), kSelectorCalvaneMathTwo, 127}};
}
constexpr CommandSymbolEntry math_two_coded(std::string_view name, char32_t ch, std::uint16_t code,
                                            std::uint8_t position) {
  return {name, ch, CharStyle{true, position, code, kSelectorCalvaneMathTwo, 127}};
}

// clang-format off
constexpr CommandSymbolEntry kCommandSymbolTable[] = {
    // Typeface byte 134, with position.
    at(134, "int", 0x222B, 0xF2),
    at_coded(134, "langle", 0x3008, 0x2329, 0xE1),
    at_coded(134, "lang", 0x3008, 0x2329, 0xE1),
    at_coded(134, "rangle", 0x3009, 0x232A, 0xF1),
    at_coded(134, "rang", 0x3009, 0x232A, 0xF1),
    at(134, "image", 0x2111, 0xC1),
    at(134, "implies", 0x21D2, 0xDE),
    at(134, "prime", 0x2032, 0xA2),
    at(134, "real", 0x211C, 0xC2),
    at(134, "surd", 0x221A, 0xD6),
    at(134, "thickapprox", 0x2248, 0xBB),
    at(134, "thicksim", 0x223C, 0x7E),
    at(134, "varnothing", 0x2205, 0xC6),
    at(134, "varpropto", 0x221D, 0xB5),
    at(134, "weierp", 0x2118, 0xC3),
    // Typeface byte 132, with position.
    at(132, "thetasym", 0x03D1, 0x4A),
    // Typeface byte 130, no position.
    plain(130, "pounds", 0x00A3),
    plain(130, "yen", 0x00A5),
    // Typeface byte 140, no position.
    plain(140, "oint", 0x222E),
    plain(140, "iint", 0x222C),
    plain(140, "diagdown", 0x2572),
    plain(140, "diagup", 0x2571),
    plain(140, "geqq", 0x2267),
    plain(140, "leqq", 0x2266),
    plain(140, "mid", 0x2223),
    plain(140, "ngtr", 0x226F),
    plain(140, "nless", 0x226E),
    // Typeface byte 139, with position.
    at_coded(139, "centerdot", 0x22C5, 0xE98F, 0x67),
    at_coded(139, "iiint", 0x222D, 0xFFFD, 0x6E),
    at_coded(139, "lceil", 0x2308, 0xFFFD, 0x6E),
    at_coded(139, "rceil", 0x2309, 0xFFFD, 0x6E),
    at_coded(139, "lfloor", 0x230A, 0xFFFD, 0x6E),
    at_coded(139, "rfloor", 0x230B, 0xFFFD, 0x6E),
    at_coded(139, "diamonds", 0x2662, 0xFFFD, 0x6E),
    at_coded(139, "diamondsuit", 0x2662, 0xFFFD, 0x6E),
    at(139, "frown", 0x2322, 0x29),
    at_coded(139, "hookleftarrow", 0x21A9, 0xFFFD, 0x6E),
    at_coded(139, "hookrightarrow", 0x21AA, 0xFFFD, 0x6E),
    at_coded(139, "iff", 0x21D4, 0xFFFD, 0x6E),
    at(139, "leftharpoondown", 0x21BD, 0x87),
    at_coded(139, "lozenge", 0x25CA, 0xFFFD, 0x6E),
    at_coded(139, "longleftarrow", 0x27F5, 0xFFFD, 0x6E),
    at_coded(139, "longleftrightarrow", 0x27F7, 0xFFFD, 0x6E),
    at_coded(139, "longmapsto", 0x27FC, 0xFFFD, 0x6E),
    at_coded(139, "longrightarrow", 0x27F6, 0xFFFD, 0x6E),
    at(139, "measuredangle", 0x2221, 0x52),
    at(139, "rightleftarrows", 0x21C4, 0x80),
    at(139, "rightleftharpoons", 0x21CC, 0x83),
    at(139, "smallfrown", 0x2322, 0x29),
    at(139, "smallsmile", 0x2323, 0x28),
    at(139, "smile", 0x2323, 0x28),
    at(139, "sphericalangle", 0x2222, 0x53),
    at(139, "triangle", 0x25B3, 0x56),
    at_coded(139, "vartriangle", 0x25B3, 0xFFFD, 0x6E),
    at(139, "vartriangleleft", 0x22B2, 0x3C),
    at(139, "vartriangleright", 0x22B3, 0x3E),
    // Calvane Math One.
    math_one("curvearrowleft", 0x21B6, 0xD1),
    math_one("curvearrowright", 0x21B7, 0xD0),
    math_one("daleth", 0x2138, 0xFD),
    math_one("downdownarrows", 0x21CA, 0xC5),
    math_one("downharpoonleft", 0x21C3, 0xBB),
    math_one("downharpoonright", 0x21C2, 0xB9),
    math_one("eqsim", 0x2242, 0xAB),
    math_one("gimel", 0x2137, 0xFC),
    math_one("leftarrowtail", 0x21A2, 0xB1),
    math_one("leftleftarrows", 0x21C7, 0xC2),
    math_one("leftrightarrows", 0x21C6, 0xC6),
    math_one("leftrightharpoons", 0x21CB, 0xC7),
    math_one("leftrightsquigarrow", 0x21AD, 0xCF),
    math_one("llcorner", 0x231E, 0x85),
    math_one("lrcorner", 0x231F, 0x87),
    math_one("looparrowleft", 0x21AB, 0xCD),
    math_one("looparrowright", 0x21AC, 0xCC),
    math_one("multimap", 0x22B8, 0xA8),
    math_one_coded("ncong", 0x2246, 0x2247, 0xAE),
    math_one("nleftarrow", 0x219A, 0xBC),
    math_one("nleftrightarrow", 0x21AE, 0xC0),
    math_one("nmid", 0x2224, 0x8C),
    math_one("nparallel", 0x2226, 0x8D),
    math_one("nrightarrow", 0x219B, 0xBD),
    math_one_coded("nshortmid", 0x2224, 0xEA2E, 0x8A),
    math_one_coded("nshortparallel", 0x2226, 0xEA2F, 0x8B),
    math_one("nsim", 0x2241, 0xAD),
    math_one("restriction", 0x21BE, 0xB8),
    math_one("rightarrowtail", 0x21A3, 0xB0),
    math_one("rightharpoondown", 0x21C1, 0xB7),
    math_one("rightrightarrows", 0x21C9, 0xC3),
    math_one("rightsquigarrow", 0x21DD, 0xCE),
    math_one_coded("shortmid", 0x2223, 0xE92E, 0x88),
    math_one_coded("shortparallel", 0x2225, 0xE92F, 0x89),
    math_one("twoheadleftarrow", 0x219E, 0xB3),
    math_one("twoheadrightarrow", 0x21A0, 0xB2),
    math_one("ulcorner", 0x231C, 0x84),
    math_one("upharpoonleft", 0x21BF, 0xBA),
    math_one("upharpoonright", 0x21BE, 0xB8),
    math_one("upuparrows", 0x21C8, 0xC4),
    math_one("urcorner", 0x231D, 0x86),
    math_one("vDash", 0x22A8, 0x91),
    math_one("wr", 0x2240, 0xAA),
    // Calvane Math Two.
    math_two("curlyeqprec", 0x22DE, 0xB2),
    math_two("curlyeqsucc", 0x22DF, 0xB3),
    math_two("doublecap", 0x22D2, 0xD3),
    math_two("doublecup", 0x22D3, 0xD2),
    math_two_coded("eqslantgtr", 0x2A96, 0x22DD, 0x83),
    math_two_coded("eqslantless", 0x2A95, 0x22DC, 0x82),
    math_two("geqslant", 0x2A7E, 0x85),
    math_two("ggg", 0x22D9, 0x8D),
    math_two("gggtr", 0x22D9, 0x8D),
    math_two_coded("gnapprox", 0x2A8A, 0xEA33, 0xA2),
    math_two_coded("gneq", 0x2A88, 0xEA35, 0x91),
    math_two("gneqq", 0x2269, 0x99),
    math_two("gnsim", 0x22E7, 0x9F),
    math_two_coded("gtrapprox", 0x2A86, 0xE933, 0x8B),
    math_two("gtrdot", 0x22D7, 0x81),
    math_two("gtreqless", 0x22DB, 0xA6),
    math_two_coded("gtreqqless", 0x2A8C, 0xE92D, 0xA8),
    math_two("gtrless", 0x2277, 0xA4),
    math_two("gtrsim", 0x2273, 0x89),
    math_two("gvertneqq", 0x2269, 0x99),
    math_two("leqslant", 0x2A7D, 0x84),
    math_two_coded("lessapprox", 0x2A85, 0xE932, 0x8A),
    math_two("lesseqgtr", 0x22DA, 0xA5),
    math_two_coded("lesseqqgtr", 0x2A8B, 0xE922, 0xA7),
    math_two("lessgtr", 0x2276, 0xA3),
    math_two("lesssim", 0x2272, 0x88),
    math_two("lll", 0x22D8, 0x8C),
    math_two_coded("lnapprox", 0x2A89, 0xEA32, 0xA1),
    math_two_coded("lneq", 0x2A87, 0xEA34, 0x90),
    math_two("lneqq", 0x2268, 0x98),
    math_two("lnsim", 0x22E6, 0x9E),
    math_two("lvertneqq", 0x2268, 0x98),
    math_two("ngeq", 0x2271, 0x93),
    math_two_coded("ngeqq", 0x2271, 0xEA07, 0x9D),
    math_two_coded("ngeqslant", 0x2271, 0xEA07, 0x9D),
    math_two("nleq", 0x2270, 0x92),
    math_two_coded("nleqq", 0x2270, 0xEA06, 0x9C),
    math_two_coded("nleqslant", 0x2270, 0xEA06, 0x9C),
    math_two("nprec", 0x2280, 0xBA),
    math_two("npreceq", 0x22E0, 0xBE),
    math_two("nsubseteq", 0x2288, 0xDA),
    math_two_coded("nsubseteqq", 0x2288, 0xEA0C, 0xE0),
    math_two("nsucc", 0x2281, 0xBB),
    math_two("nsucceq", 0x22E1, 0xBF),
    math_two("nsupseteq", 0x2289, 0xDB),
    math_two_coded("nsupseteqq", 0x2289, 0xEA0B, 0xE1),
    math_two("ntriangleleft", 0x22EA, 0x2A),
    math_two("ntrianglelefteq", 0x22EC, 0x2C),
    math_two("ntriangleright", 0x22EB, 0x29),
    math_two("ntrianglerighteq", 0x22ED, 0x2B),
    math_two("pitchfork", 0x22D4, 0xE3),
    math_two_coded("precapprox", 0x2AB7, 0xE93A, 0xB8),
    math_two("preccurlyeq", 0x227C, 0xB0),
    math_two_coded("precnapprox", 0x2AB9, 0xEA3A, 0xC8),
    math_two_coded("precneqq", 0x2AB5, 0xEA40, 0xC4),
    math_two("precnsim", 0x22E8, 0xC6),
    math_two("precsim", 0x227E, 0xB6),
    math_two("sqsubset", 0x228F, 0xF0),
    math_two("sqsubseteq", 0x2291, 0xF4),
    math_two("sqsupset", 0x2290, 0xF1),
    math_two("sqsupseteq", 0x2292, 0xF5),
    math_two_coded("subseteqq", 0x2AC5, 0xE90C, 0xD4),
    math_two("subsetneq", 0x228A, 0xD6),
    math_two_coded("subsetneqq", 0x2ACB, 0xEA44, 0xDC),
    math_two_coded("succapprox", 0x2AB8, 0xE93B, 0xB9),
    math_two("succcurlyeq", 0x227D, 0xB1),
    math_two_coded("succnapprox", 0x2ABA, 0xEA3B, 0xC9),
    math_two_coded("succneqq", 0x2AB6, 0xEA41, 0xC5),
    math_two("succnsim", 0x22E9, 0xC7),
    math_two("succsim", 0x227F, 0xB7),
    math_two_coded("supseteqq", 0x2AC6, 0xE90B, 0xD5),
    math_two("supsetneq", 0x228B, 0xD7),
    math_two_coded("supsetneqq", 0x2ACC, 0xEA45, 0xDD),
    math_two("trianglelefteq", 0x22B4, 0x28),
    math_two("trianglerighteq", 0x22B5, 0x27),
    math_two_coded("varsubsetneq", 0x228A, 0xEA42, 0xD8),
    math_two_coded("varsubsetneqq", 0x2ACB, 0xEA46, 0xDE),
    math_two_coded("varsupsetneq", 0x228B, 0xEA43, 0xD9),
    math_two_coded("varsupsetneqq", 0x2ACC, 0xEA47, 0xDF),
    math_two("veebar", 0x22BB, 0xA9),
};
// clang-format on

static_assert(std::size(kCommandSymbolTable) == 179);

constexpr auto name_key = [](const CommandSymbolEntry& e) { return e.name; };
constexpr auto kCommandSymbolIndex = sorted_table_index(kCommandSymbolTable, name_key);

}  // namespace

std::span<const CommandSymbolEntry> command_symbol_table() { return kCommandSymbolTable; }

const CommandSymbolEntry* find_command_symbol(std::string_view name) {
  return find_in_table(kCommandSymbolTable, kCommandSymbolIndex, name_key, name);
}

}  // namespace quorvix::qvf
