// The fence tables, in their listed order, each searched through a sorted
// index built at compile time.
#include "qvf/tables/fence_glyphs.h"

#include "common/sorted_table.h"

namespace quorvix::qvf {

namespace {

struct PairRow {
  char32_t left;
  char32_t right;
  std::uint8_t selector;
};

// Angle brackets are drawn alike whether written as < > or as U+3008 U+3009.
constexpr PairRow kPairs[] = {
    {U'<', U'>', 0},           {U'<', U'\u3009', 0},      {U'\u3008', U'>', 0},
    {U'\u3008', U'\u3009', 0}, {U'(', U')', 1},           {U'{', U'}', 2},
    {U'[', U']', 3},           {U'|', U'|', 4},           {U'\u2016', U'\u2016', 5},
    {U'\u230A', U'\u230B', 6}, {U'\u2308', U'\u2309', 7},
};

constexpr std::uint64_t pair_key(char32_t left, char32_t right) {
  return (static_cast<std::uint64_t>(left) << 32) | right;
}
constexpr auto pair_row_key = [](const PairRow& row) { return pair_key(row.left, row.right); };
constexpr auto kPairIndex = table_index(kPairs, pair_row_key);

struct SideRow {
  char32_t delimiter;
  std::uint8_t selector;
};

// Every member of a pair above, with the selector of its pair.
constexpr SideRow kSides[] = {
    {U'<', 0},      {U'\u3008', 0}, {U'>', 0},      {U'\u3009', 0}, {U'(', 1}, {U')', 1},
    {U'{', 2},      {U'}', 2},      {U'[', 3},      {U']', 3},      {U'|', 4}, {U'\u2016', 5},
    {U'\u230A', 6}, {U'\u230B', 6}, {U'\u2308', 7}, {U'\u2309', 7},
};
constexpr auto side_row_key = [](const SideRow& row) { return row.delimiter; };
constexpr auto kSideIndex = table_index(kSides, side_row_key);

struct GlyphRow {
  char32_t delimiter;
  std::uint16_t left;
  std::uint16_t right;
};

// The delimiters drawn with a glyph other than their own code.
constexpr GlyphRow kGlyphs[] = {
    {U'\u2308', 0xF8F0, 0xF8F0}, {U'\u230A', 0xF8F0, 0xF8F0}, {U'\u2309', 0xF8FB, 0xF8FB},
    {U'\u230B', 0xF8FB, 0xF8FB}, {U'|', 0xEC07, 0xEC08},      {U'\u2016', 0xEC09, 0xEC0A},
};
constexpr auto glyph_row_key = [](const GlyphRow& row) { return row.delimiter; };
constexpr auto kGlyphIndex = table_index(kGlyphs, glyph_row_key);

}  // namespace

std::optional<std::uint8_t> fence_pair_selector(char32_t left, char32_t right) {
  const PairRow* row = find_in_table(kPairs, kPairIndex, pair_row_key, pair_key(left, right));
  if (row == nullptr) return std::nullopt;
  return row->selector;
}

std::optional<std::uint8_t> fence_side_selector(char32_t delimiter) {
  const SideRow* row = find_in_table(kSides, kSideIndex, side_row_key, delimiter);
  if (row == nullptr) return std::nullopt;
  return row->selector;
}

std::uint16_t fence_glyph(char32_t delimiter, bool left_side) {
  if (const GlyphRow* row = find_in_table(kGlyphs, kGlyphIndex, glyph_row_key, delimiter))
    return left_side ? row->left : row->right;
  return static_cast<std::uint16_t>(delimiter);
}

}  // namespace quorvix::qvf
