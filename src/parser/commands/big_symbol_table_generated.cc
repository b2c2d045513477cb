// Generated table: the enlarged binary operators, one row per command in the
// listed order: command name (without backslash), character.
#include "common/sorted_table.h"
#include "parser/commands/symbol_tables.h"

namespace quorvix::parser {
namespace {

struct SymbolRow {
  std::string_view name;
  char32_t ch;
};

// clang-format off
constexpr SymbolRow kBigSymbols[] = {
    {"bigvee", 0x22C1},
    {"bigodot", 0x2299},
    {"bigoplus", 0x2295},
    {"biguplus", 0x228E},
    {"bigwedge", 0x22C0},
    {"bigotimes", 0x2297},
};
// clang-format on

constexpr auto row_name = [](const SymbolRow& row) { return row.name; };
constexpr auto kBigSymbolIndex = sorted_table_index(kBigSymbols, row_name);

}  // namespace

std::optional<char32_t> big_symbol_command_to_char(std::string_view name) {
  const SymbolRow* row = find_in_table(kBigSymbols, kBigSymbolIndex, row_name, name);
  if (row == nullptr) return std::nullopt;
  return row->ch;
}

}  // namespace quorvix::parser
