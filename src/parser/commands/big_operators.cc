// The operator commands and the trees they start as. Their scripts and
// operands are attached later by the script loop and by parse_complete_atom.
#include "parser/commands/big_operators.h"

#include <string>
#include <utility>
#include <vector>

#include "parser/commands/named_commands.h"
#include "parser/commands/symbol_tables.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

[[gnu::noinline]] Result<Expr> math_op_group(Parser& p) {
  p.next_char();  // the `{`
  // The same attempt as a `{` atom here: after a failure the `{`, read
  // again as an atom, fails at once.
  return p.attempt_once(Construct::BraceGroup, [&] { return p.parse_sequence(U'}'); });
}

// The argument read (or failed): MathOp of it, or after a failure that is not
// fatal the command alone as raw TeX, parsing resuming after its name.
[[gnu::noinline]] void finish_math_op(Parser& p, Result<Expr>& argument, bool braced,
                                      const Parser::Checkpoint& after_name) {
  if (argument.ok()) {
    ast::MathOp op;
    op.body = ast::box(ast::collapse_single_sequence(std::move(argument.value())));
    op.unbraced = !braced;
    argument = Expr(std::move(op));
  } else if (!argument.error().fatal) {
    p.restore(after_name);
    argument = ast::make_raw("\\mathop");
  }
}

[[gnu::noinline]] Result<Expr> parse_math_op(Parser& p) {
  const Parser::Checkpoint after_name = p.save();
  p.skip_ws();
  const bool braced = p.peek() == U'{';
  Result<Expr> argument = braced ? math_op_group(p) : p.parse_atom();
  finish_math_op(p, argument, braced, after_name);
  return argument;
}

}  // namespace

Result<Expr> big_operator_command(Parser& /*p*/, const NamedCommand& command) {
  ast::BigOperator op;
  op.op = static_cast<ast::BigOperatorKind>(command.code);
  return Expr(std::move(op));
}

Result<Expr> integral_sign_command(Parser& /*p*/, const NamedCommand& command) {
  return Expr(ast::IntegralSign{static_cast<ast::IntegralKind>(command.code)});
}

Result<Expr> quadruple_integral_command(Parser& /*p*/, const NamedCommand& /*command*/) {
  return quadruple_integral_expr();
}

Result<Expr> math_op_command(Parser& p, const NamedCommand& /*command*/) { return parse_math_op(p); }

Result<Expr> function_name_command(Parser& /*p*/, const NamedCommand& command) {
  return Expr(ast::FunctionName{std::string(command.name)});
}

bool is_big_symbol_command(HashedName name) {
  return name.text == "bigsqcup" || big_symbol_command_to_char(name).has_value();
}

Result<Expr> big_symbol_command_expr(std::string_view name) {
  if (const std::optional<char32_t> ch = big_symbol_command_to_char(name)) return Expr(ast::BigSymbol{*ch});
  return Expr(ast::BigOperatorSymbol{U'\u2294'});  // \bigsqcup
}

Expr quadruple_integral_expr() {
  ExprList items;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) items.push_back(Expr(ast::DefaultColor{ast::box(ast::make_char(U'\uEF01'))}));
    items.push_back(Expr(ast::IntegralSign{ast::IntegralKind::Int}));
  }
  return ast::make_sequence(std::move(items));
}

}  // namespace quorvix::parser
