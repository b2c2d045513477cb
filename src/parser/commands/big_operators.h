// Commands whose trees take scripts as limits or take an operand: the big
// operators (\sum ...), the integral signs, the function names (\lim, \sin
// ...), \mathop, and the big symbols (\bigoplus, \bigsqcup ...).
#pragma once

#include <cstdint>
#include <string_view>

#include "ast/expr.h"
#include "common/result.h"

namespace quorvix::parser {

class Parser;

enum class OperatorCommandKind : std::uint8_t {
  BigOperator,        // code: the BigOperatorKind
  IntegralSign,       // code: the IntegralKind
  QuadrupleIntegral,  // \iiiint
  FunctionName,       // the name itself
  MathOp,             // \mathop and its argument
};

struct OperatorCommand {
  std::string_view name;
  OperatorCommandKind kind;
  std::uint8_t code = 0;
};

// The named operator command, or null.
const OperatorCommand* find_operator_command(std::string_view name);

// The tree of the command; the parser stands after the command name.
Result<ast::Expr> parse_operator_command(Parser& parser, const OperatorCommand& command);

// The symbol of a big-symbol command (\bigoplus gives a BigSymbol, \bigsqcup
// a BigOperatorSymbol); false when the name is none of them.
bool is_big_symbol_command(std::string_view name);
Result<ast::Expr> big_symbol_command_expr(std::string_view name);

// Four integral signs with a space character between each two.
ast::Expr quadruple_integral_expr();

}  // namespace quorvix::parser
