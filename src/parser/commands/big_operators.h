// Commands whose trees take scripts as limits or take an operand. The big
// operators (\sum ...), the integral signs, the function names (\lim, \sin
// ...) and \mathop are named commands (see named_commands.h); the big
// symbols (\bigoplus, \bigsqcup ...) are looked up after them.
#pragma once

#include <string_view>

#include "ast/expr.h"
#include "common/result.h"
#include "common/sorted_table.h"

namespace quorvix::parser {

// The symbol of a big-symbol command (\bigoplus gives a BigSymbol, \bigsqcup
// a BigOperatorSymbol); false when the name is none of them.
bool is_big_symbol_command(HashedName name);
Result<ast::Expr> big_symbol_command_expr(std::string_view name);

// Four integral signs with a space character between each two.
ast::Expr quadruple_integral_expr();

}  // namespace quorvix::parser
