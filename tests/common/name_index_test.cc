#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/sorted_table.h"

namespace quorvix {
namespace {

struct Row {
  std::string_view name;
  int value;
};

constexpr Row kRows[] = {{"alpha", 1}, {"beta", 2}, {"alpha", 3}, {"", 4}, {"gamma", 5}, {"beta", 6}};
constexpr auto row_name = [](const Row& row) { return row.name; };
constexpr auto kIndex = table_index(kRows, row_name);

// The index is built at compile time and can be searched there too.
static_assert(find_in_table(kRows, kIndex, row_name, "gamma")->value == 5);
static_assert(find_in_table(kRows, kIndex, row_name, "delta") == nullptr);

TEST(NameIndexTest, FirstListedRowOfANameWins) {
  const std::vector<std::pair<std::string_view, int>> cases = {
      {"alpha", 1}, {"beta", 2}, {"", 4}, {"gamma", 5}};
  for (const auto& [name, value] : cases) {
    const Row* row = find_in_table(kRows, kIndex, row_name, name);
    ASSERT_NE(row, nullptr) << name;
    EXPECT_EQ(row->value, value) << name;
  }
  for (const std::string_view absent : {"alph", "alphaa", "Alpha", "b", " beta"}) {
    EXPECT_EQ(find_in_table(kRows, kIndex, row_name, absent), nullptr) << absent;
  }
  // A name with an embedded NUL is not its prefix.
  EXPECT_EQ(find_in_table(kRows, kIndex, row_name, std::string_view("beta\0", 5)), nullptr);
}

TEST(NameIndexTest, AgreesWithALinearSearchOnAFullTable) {
  // Several hundred rows, so that rows share buckets and probes run on past
  // other names; every tenth name is listed twice.
  constexpr std::size_t kCount = 600;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < kCount; ++i) names.push_back("cmd" + std::to_string(i % 550));
  static Row rows[kCount];
  for (std::size_t i = 0; i < kCount; ++i) rows[i] = {names[i], static_cast<int>(i)};
  const auto index = table_index(rows, row_name);
  static_assert(std::is_same_v<std::remove_const_t<decltype(index)>, NameIndex<kCount>>);
  for (std::size_t i = 0; i < 560; ++i) {
    const std::string name = "cmd" + std::to_string(i);
    const Row* expected = nullptr;
    for (const Row& row : rows) {
      if (row.name == name) {
        expected = &row;
        break;
      }
    }
    EXPECT_EQ(find_in_table(rows, index, row_name, name), expected) << name;
  }
}

TEST(NameIndexTest, OtherKeysKeepTheSortedIndex) {
  struct CodeRow {
    char32_t code;
    int value;
  };
  static constexpr CodeRow kCodes[] = {{U'b', 1}, {U'a', 2}, {U'b', 3}};
  constexpr auto code = [](const CodeRow& row) { return row.code; };
  constexpr auto index = table_index(kCodes, code);
  static_assert(std::is_same_v<std::remove_const_t<decltype(index)>, std::array<std::uint16_t, 3>>);
  EXPECT_EQ(find_in_table(kCodes, index, code, U'b')->value, 1);
  EXPECT_EQ(find_in_table(kCodes, index, code, U'a')->value, 2);
  EXPECT_EQ(find_in_table(kCodes, index, code, U'c'), nullptr);
}

TEST(CodeIndexTest, AgreesWithALinearSearch) {
  // Runs of neighbouring code points (as in a symbol table), the ends of the
  // code space, and every seventh code listed twice with another value.
  struct CodeRow {
    char32_t code;
    int value;
  };
  constexpr std::size_t kCount = 700;
  static CodeRow rows[kCount];
  std::size_t n = 0;
  auto add = [&](char32_t c) {
    rows[n] = {c, static_cast<int>(n)};
    ++n;
  };
  for (char32_t c = U'a'; c <= U'z'; ++c) add(c);
  for (char32_t c = 0x2200; c < 0x2200 + 374; ++c) add(c);
  for (char32_t c = 0x1D400; c < 0x1D400 + 3 * 200; c += 3) add(c);
  add(0);
  add(0x10FFFF);
  while (n < kCount) add(rows[(n * 7) % 600].code);
  constexpr auto code = [](const CodeRow& row) { return row.code; };
  const auto index = code_table_index(rows, code);
  auto linear = [&](char32_t c) -> const CodeRow* {
    for (const CodeRow& row : rows)
      if (row.code == c) return &row;
    return nullptr;
  };
  std::vector<char32_t> probes = {0, 1, 0x10FFFF, 0x10FFFE, 0xFFFFFFFF};
  for (char32_t c = 0; c < 0x300; ++c) probes.push_back(c);
  for (char32_t c = 0x2100; c < 0x2400; ++c) probes.push_back(c);
  for (char32_t c = 0x1D3F0; c < 0x1D800; ++c) probes.push_back(c);
  for (const char32_t c : probes)
    ASSERT_EQ(find_in_table(rows, index, code, c), linear(c)) << std::hex << static_cast<std::uint32_t>(c);
}

}  // namespace
}  // namespace quorvix
