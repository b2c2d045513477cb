#include "qvf/tables/chars.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "qvf/writer/writer_state.h"
#include "support/bytes.h"

namespace quorvix::qvf {
namespace {

using test_support::bytes;
using test_support::hex;

constexpr FontSelector kMathOne = FontSelector::CalvaneMathOne;
constexpr FontSelector kMathTwo = FontSelector::CalvaneMathTwo;
constexpr FontSelector kTypeface = FontSelector::Typeface;

struct StyleCase {
  char32_t ch;
  bool has_position;
  std::uint8_t position;
  std::uint16_t code;
  FontSelector selector;
  std::uint8_t typeface;
};

class ResolveCharStyle : public ::testing::TestWithParam<StyleCase> {};

TEST_P(ResolveCharStyle, GivesStyle) {
  const StyleCase& c = GetParam();
  const Result<CharStyle> style = resolve_char_style(c.ch);
  ASSERT_TRUE(style.ok()) << style.error().message;
  EXPECT_EQ(style->has_position, c.has_position);
  if (c.has_position) {
    EXPECT_EQ(style->position, c.position);
  }
  EXPECT_EQ(style->code, c.code);
  EXPECT_EQ(style->font_selector, c.selector);
  if (c.selector == kTypeface) {
    EXPECT_EQ(style->typeface, c.typeface);
  }
}

INSTANTIATE_TEST_SUITE_P(
    TableAndFallback, ResolveCharStyle,
    ::testing::Values(
        // Rows of the character table: first and last of each group, and the
        // rows whose written code differs from the character.
        StyleCase{0x03B1, true, 0x61, 0x03B1, kTypeface, 132},
        StyleCase{0x03C6, true, 0x6A, 0x03C6, kTypeface, 132},
        StyleCase{0x0394, true, 0x44, 0x0394, kTypeface, 133},
        StyleCase{0x0396, true, 0x5A, 0x0396, kTypeface, 133},
        StyleCase{0x00D7, true, 0xB4, 0x00D7, kTypeface, 134},
        StyleCase{0x222A, true, 0xC8, 0x222A, kTypeface, 134},
        StyleCase{0x29EB, true, 0xA8, 0x2666, kTypeface, 134},
        StyleCase{0x2235, true, 0x51, 0x2235, kTypeface, 139},
        StyleCase{0x27F8, true, 0x6E, 0xFFFD, kTypeface, 139},
        StyleCase{0x2035, true, 0x60, 0x2035, kTypeface, 139},
        StyleCase{0x220B, false, 0, 0x220B, kTypeface, 140},
        StyleCase{0x266F, false, 0, 0x266F, kTypeface, 140},
        StyleCase{0x0026, false, 0, 0x0026, kTypeface, 130},
        StyleCase{0x223C, false, 0, 0x007E, kTypeface, 130},
        StyleCase{0x2021, false, 0, 0x2021, kTypeface, 130},
        StyleCase{0x0131, false, 0, 0x0131, kTypeface, 131},
        StyleCase{0xEF01, false, 0, 0xEF01, kTypeface, 152},
        StyleCase{0x03F5, true, 0xF2, 0x03F5, kMathOne, 0},
        StyleCase{0x0237, true, 0xF8, 0xED02, kMathOne, 0},
        StyleCase{0x2141, true, 0xF6, 0xED01, kMathOne, 0},
        StyleCase{0x2204, true, 0xF3, 0x2204, kMathOne, 0},
        StyleCase{0x22D2, true, 0xD3, 0x22D2, kMathTwo, 0},
        StyleCase{0x22D6, true, 0x80, 0x22D6, kMathTwo, 0},
        // The only table character above U+FFFF.
        StyleCase{0x1D55C, true, 0x6B, 0xF0A4, kMathTwo, 0},
        // Fallback rules.
        StyleCase{U'x', false, 0, 0x78, kTypeface, 131}, StyleCase{U'#', false, 0, 0x23, kTypeface, 130},
        StyleCase{U'_', false, 0, 0x5F, kTypeface, 130}, StyleCase{U'~', false, 0, 0x00A0, kTypeface, 130},
        StyleCase{0x03BF, true, 0x6F, 0x03BF, kTypeface, 132},
        StyleCase{U'@', false, 0, 0x40, kTypeface, 130}, StyleCase{U'|', false, 0, 0x7C, kTypeface, 130},
        StyleCase{U'+', true, 0x2B, 0x2B, kTypeface, 134},
        StyleCase{U'-', true, 0x2D, 0x2212, kTypeface, 134},
        StyleCase{U'=', true, 0x3D, 0x3D, kTypeface, 134}, StyleCase{U'<', true, 0x3C, 0x3C, kTypeface, 134},
        StyleCase{U'>', true, 0x3E, 0x3E, kTypeface, 134}, StyleCase{U'*', false, 0, 0x2A, kTypeface, 130},
        StyleCase{U'7', false, 0, 0x37, kTypeface, 136}, StyleCase{U'?', false, 0, 0x3F, kTypeface, 130},
        StyleCase{0x2211, false, 0, 0x2211, kTypeface, 134},
        StyleCase{0x2AFF, false, 0, 0x2AFF, kTypeface, 134},
        StyleCase{0x2B00, false, 0, 0x2B00, kTypeface, 131},
        StyleCase{0x00E9, false, 0, 0x00E9, kTypeface, 131}));

TEST(ResolveCharStyleTest, RejectsUnlistedCharactersOutsideBmp) {
  const Result<CharStyle> style = resolve_char_style(0x1D400);
  ASSERT_FALSE(style.ok());
  EXPECT_EQ(style.error().message, "character is outside BMP and not yet supported: \xF0\x9D\x90\x80");
}

TEST(MathSymbolChar, RangeEdges) {
  const std::pair<char32_t, bool> cases[] = {
      {0x202F, false}, {0x2030, true},  {0x203F, true}, {0x2040, false}, {0x2100, true},  {0x214F, true},
      {0x2150, false}, {0x2190, true},  {0x23FF, true}, {0x2400, false}, {0x2570, false}, {0x2571, true},
      {0x2572, true},  {0x2573, false}, {0x25A0, true}, {0x26FF, true},  {0x2700, false}, {0x27C0, true},
      {0x27FF, true},  {0x2800, false}, {0x2900, true}, {0x2AFF, true},  {0x2B00, false}, {U'+', false},
  };
  for (const auto& [c, expected] : cases)
    EXPECT_EQ(is_math_symbol_char(c), expected) << std::hex << static_cast<std::uint32_t>(c);
}

TEST(CharTable, RowsAreDistinctAndAllFound) {
  const auto table = char_table();
  EXPECT_EQ(table.size(), 243u);
  std::set<char32_t> seen;
  for (const CharTableEntry& row : table) {
    const CharStyle* found = find_char_table_style(row.ch);
    ASSERT_NE(found, nullptr) << std::hex << static_cast<std::uint32_t>(row.ch);
    // First match wins: the row found is the first one listed for the character.
    if (seen.insert(row.ch).second) {
      EXPECT_EQ(found, &row.style) << std::hex << static_cast<std::uint32_t>(row.ch);
    }
    // Calvane rows carry no usable typeface; every other row has one.
    if (row.style.font_selector != kTypeface) {
      EXPECT_TRUE(row.style.has_position);
    }
  }
  EXPECT_EQ(seen.size(), 243u);
  // Every character below U+3000 and the planes' edges find the first row
  // listed for them, or nothing.
  const auto first_row = [&table](char32_t c) -> const CharStyle* {
    for (const CharTableEntry& row : table)
      if (row.ch == c) return &row.style;
    return nullptr;
  };
  for (char32_t c = 0; c < 0x3000; ++c)
    EXPECT_EQ(find_char_table_style(c), first_row(c)) << std::hex << static_cast<std::uint32_t>(c);
  EXPECT_EQ(find_char_table_style(U'x'), nullptr);
  EXPECT_EQ(find_char_table_style(0), nullptr);
  EXPECT_EQ(find_char_table_style(0x10FFFF), nullptr);
}

TEST(CommandSymbolTable, RowsAndLookups) {
  const auto table = command_symbol_table();
  ASSERT_EQ(table.size(), 179u);
  EXPECT_EQ(table.front().name, "int");
  EXPECT_EQ(table.back().name, "veebar");
  for (const CommandSymbolEntry& row : table) EXPECT_EQ(find_command_symbol(row.name), &row) << row.name;

  struct Row {
    const char* name;
    char32_t ch;
    std::uint16_t code;
    bool has_position;
    std::uint8_t position;
    FontSelector selector;
    std::uint8_t typeface;
  };
  const Row rows[] = {
      {"langle", 0x3008, 0x2329, true, 0xE1, kTypeface, 134},
      {"weierp", 0x2118, 0x2118, true, 0xC3, kTypeface, 134},
      {"thetasym", 0x03D1, 0x03D1, true, 0x4A, kTypeface, 132},
      {"yen", 0x00A5, 0x00A5, false, 0, kTypeface, 130},
      {"nless", 0x226E, 0x226E, false, 0, kTypeface, 140},
      {"centerdot", 0x22C5, 0xE98F, true, 0x67, kTypeface, 139},
      {"vartriangleright", 0x22B3, 0x22B3, true, 0x3E, kTypeface, 139},
      {"curvearrowleft", 0x21B6, 0x21B6, true, 0xD1, kMathOne, 0},
      {"ncong", 0x2246, 0x2247, true, 0xAE, kMathOne, 0},
      {"wr", 0x2240, 0x2240, true, 0xAA, kMathOne, 0},
      {"curlyeqprec", 0x22DE, 0x22DE, true, 0xB2, kMathTwo, 0},
      {"varsupsetneqq", 0x2ACC, 0xEA47, true, 0xDF, kMathTwo, 0},
      {"veebar", 0x22BB, 0x22BB, true, 0xA9, kMathTwo, 0},
  };
  for (const Row& r : rows) {
    const CommandSymbolEntry* e = find_command_symbol(r.name);
    ASSERT_NE(e, nullptr) << r.name;
    EXPECT_EQ(e->ch, r.ch) << r.name;
    EXPECT_EQ(e->style.code, r.code) << r.name;
    EXPECT_EQ(e->style.has_position, r.has_position) << r.name;
    if (r.has_position) {
      EXPECT_EQ(e->style.position, r.position) << r.name;
    }
    EXPECT_EQ(e->style.font_selector, r.selector) << r.name;
    if (r.selector == kTypeface) {
      EXPECT_EQ(e->style.typeface, r.typeface) << r.name;
    }
  }
  EXPECT_EQ(find_command_symbol("alpha"), nullptr);
  EXPECT_EQ(find_command_symbol(""), nullptr);
  EXPECT_EQ(find_command_symbol("in"), nullptr);  // a prefix of "int" is not "int"
}

TEST(WriteChar, PlainCharacters) {
  struct Case {
    char32_t ch;
    Bytes expected;
  };
  const Case cases[] = {
      {U'x', bytes({0x02, 0x00, 0x83, 0x78, 0x00})},
      {0x03B1, bytes({0x02, 0x04, 0x84, 0xB1, 0x03, 0x61})},
      {U'-', bytes({0x02, 0x04, 0x86, 0x12, 0x22, 0x2D})},
      {U'~', bytes({0x02, 0x00, 0x82, 0xA0, 0x00})},
      {U'3', bytes({0x02, 0x00, 0x88, 0x33, 0x00})},
      {U'?', bytes({0x02, 0x00, 0x82, 0x3F, 0x00})},
  };
  for (const Case& c : cases) {
    QvfWriter w;
    Bytes out;
    ASSERT_TRUE(write_char(c.ch, out, w).ok());
    EXPECT_EQ(hex(out), hex(c.expected)) << std::hex << static_cast<std::uint32_t>(c.ch);
  }
  QvfWriter w;
  Bytes out;
  const Status s = write_char(0x1F600, out, w);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().message, "character is outside BMP and not yet supported: \xF0\x9F\x98\x80");
  EXPECT_TRUE(out.empty());
}

TEST(WriteChar, CalvaneMathOneIsDefinedBeforeItsFirstCharacterOnly) {
  QvfWriter w;
  Bytes out;
  ASSERT_TRUE(write_char(0x03F5, out, w).ok());  // \epsilon variant drawn from Calvane Math One
  Bytes expected =
      test_support::concat({test_support::with_name({0x13}, "CalvaneMath1"),
                            test_support::with_name({0x11, 0x07}, "Calvane Math One"),
                            bytes({0x08, 0x06, 0x00}), bytes({0x02, 0x04, 0x7F, 0xF5, 0x03, 0xF2})});
  EXPECT_EQ(hex(out), hex(expected));
  out.clear();
  ASSERT_TRUE(write_char(0x2216, out, w).ok());
  EXPECT_EQ(hex(out), hex(bytes({0x02, 0x04, 0x7F, 0x16, 0x22, 0x82})));
}

TEST(CommandSymbols, WritesTableStyleAndEmbellishments) {
  QvfWriter w;
  Bytes out;
  ASSERT_TRUE(write_command_symbol_with_embellishments("langle", 0x3008, {}, out, w).ok());
  EXPECT_EQ(hex(out), hex(bytes({0x02, 0x04, 0x86, 0x29, 0x23, 0xE1})));

  out.clear();
  const std::uint8_t negation[] = {10};
  ASSERT_TRUE(write_command_symbol_with_embellishments("nless", 0x226E, negation, out, w).ok());
  EXPECT_EQ(hex(out), hex(bytes({0x02, 0x01, 0x8C, 0x6E, 0x22, 0x06, 0x00, 0x0A, 0x00})));

  // A Calvane Math Two symbol defines its font first (encoding 7, font 6).
  out.clear();
  ASSERT_TRUE(write_command_symbol_with_embellishments("lll", 0x22D8, {}, out, w).ok());
  Bytes expected = test_support::concat({test_support::with_name({0x13}, "CalvaneMath2"),
                                         test_support::with_name({0x11, 0x07}, "Calvane Math Two"),
                                         bytes({0x08, 0x06, 0x00, 0x02, 0x04, 0x7F, 0xD8, 0x22, 0x8C})});
  EXPECT_EQ(hex(out), hex(expected));
}

TEST(CommandSymbols, MissingAndMismatchedEntriesFail) {
  QvfWriter w;
  Bytes out;
  Status s = write_command_symbol_with_embellishments("foo", U'x', {}, out, w);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().message, "missing generated command-specific symbol: \\foo");
  s = write_command_symbol_with_embellishments("langle", U'<', {}, out, w);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().message,
            "generated command-specific symbol mismatch for \\langle: expected \xE3\x80\x88, got <");
  EXPECT_TRUE(out.empty());
}

TEST(Primes, EmbellishmentCodes) {
  using V = std::vector<std::uint8_t>;
  EXPECT_EQ(prime_embellishment_codes(0), V{});
  EXPECT_EQ(prime_embellishment_codes(1), V{5});
  EXPECT_EQ(prime_embellishment_codes(2), V{6});
  EXPECT_EQ(prime_embellishment_codes(3), (V{6, 5}));
  EXPECT_EQ(prime_embellishment_codes(5), (V{6, 5, 5, 5}));

  // x''' is one CHAR for x with the list [6, 5].
  QvfWriter w;
  Bytes out;
  const CharStyle x = *resolve_char_style(U'x');
  const V codes = prime_embellishment_codes(3);
  write_styled_table_char_with_embellishments(x.typeface, x.code, x.has_position, x.position, x.font_selector,
                                              codes, out, w);
  EXPECT_EQ(hex(out), hex(bytes({0x02, 0x01, 0x83, 0x78, 0x00, 0x06, 0x00, 0x06, 0x06, 0x00, 0x05, 0x00})));
}

}  // namespace
}  // namespace quorvix::qvf
