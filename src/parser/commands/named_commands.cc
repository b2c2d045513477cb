// The commands handled by name.
#include "parser/commands/big_operators.h"
#include "parser/commands/templates.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

std::optional<Result<Expr>> Parser::parse_named_command(const std::string& name) {
  // TEMPORARY HOOK until the named-command dispatch is rewritten: the
  // template commands (fractions, roots, strike-outs, stacked forms, ...).
  if (is_template_command(name)) return parse_template_command(*this, name);
  if (const OperatorCommand* command = find_operator_command(name))
    return parse_operator_command(*this, *command);
  return std::nullopt;
}

}  // namespace quorvix::parser
