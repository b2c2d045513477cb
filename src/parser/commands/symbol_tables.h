// Lookup tables from a command name (without backslash) to the symbol it
// stands for. Each table keeps its rows in their listed order; the first row
// with the name wins.
#pragma once

#include <optional>
#include <string_view>

namespace quorvix::parser {

// The enlarged binary operators written at symbol size (\bigoplus ...).
std::optional<char32_t> big_symbol_command_to_char(std::string_view name);

}  // namespace quorvix::parser
