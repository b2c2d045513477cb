// Lookup tables from a command name (without backslash) to what it stands
// for. Each table keeps its rows in their listed order; the first row with
// the name wins. The tables are generated from their listings (see
// tools/tablegen); each is searched through a hash index built at compile
// time, so a lookup neither allocates nor scans the table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "ast/expr.h"
#include "common/sorted_table.h"

namespace quorvix::parser {

// One row of a lookup table: a command name and what it stands for.
template <class Value>
struct NamedRow {
  std::string_view name;
  Value value;
};

// The enlarged binary operators written at symbol size (\bigoplus ...).
std::optional<char32_t> big_symbol_command_to_char(HashedName name);

// Symbols written as a plain character (\alpha, \to ...).
std::optional<char32_t> command_to_char(HashedName name);
// Symbols that keep their command name beside their character (\prime,
// \langle ...); the writer draws them by name.
std::optional<char32_t> command_specific_to_char(HashedName name);
// Symbols written as a run of characters (\coloncolonequals ...).
std::optional<std::u32string_view> command_to_sequence(HashedName name);
// Commands written as a text run (\copyright ...), UTF-8.
std::optional<std::string_view> command_to_text(HashedName name);
// The extensible arrows (\xrightarrow ...).
std::optional<ast::XArrowKind> xarrow_command_kind(HashedName name);
// The spacing commands (\quad ...): the width code of their Space.
std::optional<std::uint8_t> spacing_command_width(HashedName name);
// The math-style switches (\displaystyle ...).
std::optional<ast::StyleKind> style_command_kind(HashedName name);
// The delimiter names (\lbrace, \vert, \langle ...).
std::optional<char32_t> delimiter_command_char(HashedName name);

// The commands always kept as raw TeX, whatever else knows their name.
bool always_raw_command(HashedName name);
// The extensible arrows kept as raw TeX with their labels shown.
bool raw_hybrid_xarrow_command(HashedName name);

// The rows of each table in listed order, for checks over whole tables.
std::span<const NamedRow<char32_t>> command_to_char_rows();
std::span<const NamedRow<char32_t>> command_specific_to_char_rows();
std::span<const NamedRow<std::u32string_view>> command_to_sequence_rows();
std::span<const NamedRow<std::string_view>> command_to_text_rows();
std::span<const NamedRow<ast::XArrowKind>> xarrow_command_kind_rows();
std::span<const NamedRow<std::uint8_t>> spacing_command_width_rows();
std::span<const NamedRow<ast::StyleKind>> style_command_kind_rows();
std::span<const NamedRow<char32_t>> delimiter_command_char_rows();
std::span<const std::string_view> always_raw_command_rows();
std::span<const std::string_view> raw_hybrid_xarrow_command_rows();

}  // namespace quorvix::parser
