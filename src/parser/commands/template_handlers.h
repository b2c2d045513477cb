// The handlers parse_template_command dispatches to, one family per file.
#pragma once

#include <string_view>

#include "ast/expr.h"
#include "common/result.h"

namespace quorvix::parser {

class Parser;

// fractions.cc
Result<ast::Expr> parse_fraction_like_command(Parser& parser, std::string_view name);
Result<ast::Expr> parse_genfrac(Parser& parser);
Result<ast::Expr> parse_binom(Parser& parser);
Result<ast::Expr> parse_styled_binom(Parser& parser, ast::StyleKind style);

// roots.cc
Result<ast::Expr> parse_sqrt_command(Parser& parser);
Result<ast::Expr> parse_malformed_root_command(Parser& parser);

// strikes.cc
Result<ast::Expr> parse_strike_command(Parser& parser, std::string_view name, ast::StrikeKind kind);

// stacked.cc
Result<ast::Expr> parse_stackrel(Parser& parser);
Result<ast::Expr> parse_underset(Parser& parser);
Result<ast::Expr> parse_brace_command(Parser& parser, std::string_view name, ast::BraceKind kind);

}  // namespace quorvix::parser
