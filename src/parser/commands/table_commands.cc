// The lookups tried after the named commands, first match wins.
#include "parser/commands/big_operators.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

std::optional<Result<Expr>> Parser::parse_table_command(const std::string& name) {
  if (is_big_symbol_command(name)) return big_symbol_command_expr(name);
  return std::nullopt;
}

}  // namespace quorvix::parser
