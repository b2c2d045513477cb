// Lookup tables from a command name (without backslash) to the symbol it
// stands for. Each table keeps its rows in their listed order; the first row
// with the name wins.
#pragma once

#include <optional>
#include <string_view>

#include "ast/expr.h"

namespace quorvix::parser {

// The enlarged binary operators written at symbol size (\bigoplus ...).
std::optional<char32_t> big_symbol_command_to_char(std::string_view name);

// The delimiter names (\langle, \lbrace, \vert ...).
std::optional<char32_t> delimiter_command_char(std::string_view name);

// The extensible arrows (\xrightarrow ...) and their kinds.
std::optional<ast::XArrowKind> xarrow_command_kind(std::string_view name);

}  // namespace quorvix::parser
