// The generated lookup tables as whole tables: their sizes, every listed
// name found with its first row, and lookups that allocate nothing.
#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "allocation_count.h"
#include "parser/commands/symbol_tables.h"
#include "parser/raw_fallback.h"

namespace quorvix::parser {
namespace {

// Every row's name is found, with the value of the first row that lists it;
// a name with a character that no command name has is not.
template <class Value, class Lookup>
void expect_first_rows_found(std::span<const NamedRow<Value>> rows, Lookup lookup) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::size_t first = 0;
    while (rows[first].name != rows[i].name) ++first;
    const std::optional<Value> found = lookup(rows[i].name);
    ASSERT_TRUE(found.has_value()) << rows[i].name;
    EXPECT_TRUE(*found == rows[first].value) << rows[i].name;
    EXPECT_FALSE(lookup(std::string(rows[i].name) + "?").has_value()) << rows[i].name;
  }
  EXPECT_FALSE(lookup("").has_value());
}

void expect_names_found(std::span<const std::string_view> names, bool (*lookup)(HashedName)) {
  for (const std::string_view name : names) {
    EXPECT_TRUE(lookup(name)) << name;
    EXPECT_FALSE(lookup(std::string(name) + "?")) << name;
  }
  EXPECT_FALSE(lookup(""));
}

TEST(SymbolTablesTest, RowCounts) {
  EXPECT_EQ(command_to_char_rows().size(), 509u);
  EXPECT_EQ(command_specific_to_char_rows().size(), 179u);
  EXPECT_EQ(command_to_sequence_rows().size(), 13u);
  EXPECT_EQ(command_to_text_rows().size(), 4u);
  EXPECT_EQ(xarrow_command_kind_rows().size(), 11u);
  EXPECT_EQ(spacing_command_width_rows().size(), 10u);
  EXPECT_EQ(style_command_kind_rows().size(), 4u);
  EXPECT_EQ(delimiter_command_char_rows().size(), 33u);
  EXPECT_EQ(always_raw_command_rows().size(), 77u);
  EXPECT_EQ(raw_hybrid_xarrow_command_rows().size(), 9u);
}

TEST(SymbolTablesTest, EveryRowIsFoundWithItsFirstListing) {
  expect_first_rows_found(command_to_char_rows(), command_to_char);
  expect_first_rows_found(command_specific_to_char_rows(), command_specific_to_char);
  expect_first_rows_found(command_to_sequence_rows(), command_to_sequence);
  expect_first_rows_found(command_to_text_rows(), command_to_text);
  expect_first_rows_found(xarrow_command_kind_rows(), xarrow_command_kind);
  expect_first_rows_found(spacing_command_width_rows(), spacing_command_width);
  expect_first_rows_found(style_command_kind_rows(), style_command_kind);
  expect_first_rows_found(delimiter_command_char_rows(), delimiter_command_char);
  expect_names_found(always_raw_command_rows(), always_raw_command);
  expect_names_found(raw_hybrid_xarrow_command_rows(), raw_hybrid_xarrow_command);
}

TEST(SymbolTablesTest, RowsInListedOrder) {
  // Both ends of the listings (a row lost at either end), the delimiter
  // pairs read row by row, and the kinds and texts no parse shows.
  EXPECT_EQ(command_to_char_rows().front().name, "alpha");
  EXPECT_EQ(command_to_char_rows().back().name, "yen");
  EXPECT_EQ(command_specific_to_char_rows().front().name, "centerdot");
  EXPECT_EQ(command_specific_to_char_rows().back().name, "yen");
  const auto delimiters = delimiter_command_char_rows();
  EXPECT_EQ(delimiters[1].name, "rBrace");
  EXPECT_EQ(delimiters[3].name, "rbrack");
  EXPECT_EQ(delimiters.back().name, "Updownarrow");
  EXPECT_EQ(always_raw_command_rows().front(), "ch");
  EXPECT_EQ(always_raw_command_rows().back(), "approxcoloncolon");
  EXPECT_EQ(command_to_text("copyright"), "\u00A9");
  EXPECT_EQ(xarrow_command_kind("xLeftarrow"), ast::XArrowKind::DoubleLeft);
  EXPECT_EQ(style_command_kind("scriptscriptstyle"), ast::StyleKind::ScriptScript);
  EXPECT_TRUE(should_force_raw_simple_command("varUpsilon"));
  EXPECT_FALSE(should_force_raw_simple_command("Upsilon"));
}

TEST(SymbolTablesTest, LookupsDoNotAllocate) {
  if (!testing::allocation_counting_available()) GTEST_SKIP() << "allocations are not counted here";
  const std::uint64_t before = testing::thread_allocation_count();
  bool all = command_to_char("alpha").has_value() && command_specific_to_char("prime").has_value() &&
             command_to_sequence("ratio").has_value() && command_to_text("lq").has_value() &&
             delimiter_command_char("vert").has_value() && spacing_command_width("quad").has_value() &&
             xarrow_command_kind("xmapsto").has_value() && style_command_kind("textstyle").has_value() &&
             always_raw_command("lt") && raw_hybrid_xarrow_command("xmapsto") && !command_to_char("nosuch");
  EXPECT_TRUE(all);
  EXPECT_EQ(testing::thread_allocation_count(), before);
}

}  // namespace
}  // namespace quorvix::parser
