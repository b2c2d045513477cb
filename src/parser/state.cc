#include "parser/parser.h"

namespace quorvix::parser {

std::string normalize_latex(std::string_view latex) { return std::string(latex); }

Parser::Parser(std::string_view normalized) {
  for (unsigned char c : normalized) chars_.push_back(c);
}

Result<ast::Expr> Parser::parse() && { return ast::Expr(); }

}  // namespace quorvix::parser
