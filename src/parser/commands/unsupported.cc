// Commands that no handler accepts are kept as raw TeX.
#include "parser/chars.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

Result<Expr> Parser::parse_unsupported_command(std::string_view name) {
  std::string raw = "\\";
  raw += name;
  // A line-break hint keeps the spacing written after it.
  if (name == "allowbreak") raw += consume_raw_whitespace();
  return ast::make_raw(std::move(raw));
}

}  // namespace quorvix::parser
