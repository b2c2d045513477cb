// The TeX parser: normalisation and the parser entry.
#pragma once

#include <string>
#include <string_view>

#include "ast/expr.h"
#include "common/result.h"

namespace quorvix::parser {

// Trims the text, strips byte-order marks and $ / $$ delimiters, fixes line endings.
std::string normalize_latex(std::string_view latex);

class Parser {
 public:
  explicit Parser(std::string_view normalized);
  Result<ast::Expr> parse() &&;

 private:
  std::u32string chars_;
};

}  // namespace quorvix::parser
