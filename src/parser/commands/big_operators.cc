// Recognition of the operator commands and the trees they start as. Their
// scripts and operands are attached later by the script loop and by
// parse_complete_atom.
#include "parser/commands/big_operators.h"

#include <string>
#include <utility>
#include <vector>

#include "common/internal_error.h"
#include "common/sorted_table.h"
#include "parser/commands/symbol_tables.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

using Kind = OperatorCommandKind;

constexpr std::uint8_t big_op(ast::BigOperatorKind k) { return static_cast<std::uint8_t>(k); }
constexpr std::uint8_t integral(ast::IntegralKind k) { return static_cast<std::uint8_t>(k); }

// clang-format off
constexpr OperatorCommand kOperatorCommands[] = {
    {"sum", Kind::BigOperator, big_op(ast::BigOperatorKind::Sum)},
    {"prod", Kind::BigOperator, big_op(ast::BigOperatorKind::Prod)},
    {"coprod", Kind::BigOperator, big_op(ast::BigOperatorKind::Coprod)},
    {"bigcup", Kind::BigOperator, big_op(ast::BigOperatorKind::Bigcup)},
    {"bigcap", Kind::BigOperator, big_op(ast::BigOperatorKind::Bigcap)},
    {"int", Kind::IntegralSign, integral(ast::IntegralKind::Int)},
    {"iint", Kind::IntegralSign, integral(ast::IntegralKind::Iint)},
    {"iiint", Kind::IntegralSign, integral(ast::IntegralKind::Iiint)},
    {"oint", Kind::IntegralSign, integral(ast::IntegralKind::Oint)},
    {"iiiint", Kind::QuadrupleIntegral},
    {"mathop", Kind::MathOp},
    // Upright function names.
    {"arg", Kind::FunctionName}, {"cos", Kind::FunctionName}, {"cot", Kind::FunctionName},
    {"csc", Kind::FunctionName}, {"deg", Kind::FunctionName}, {"det", Kind::FunctionName},
    {"dim", Kind::FunctionName}, {"exp", Kind::FunctionName}, {"gcd", Kind::FunctionName},
    {"hom", Kind::FunctionName}, {"ker", Kind::FunctionName}, {"lim", Kind::FunctionName},
    {"inf", Kind::FunctionName}, {"log", Kind::FunctionName}, {"max", Kind::FunctionName},
    {"min", Kind::FunctionName}, {"sec", Kind::FunctionName}, {"sin", Kind::FunctionName},
    {"sup", Kind::FunctionName}, {"tan", Kind::FunctionName}, {"lg", Kind::FunctionName},
    {"ln", Kind::FunctionName}, {"Pr", Kind::FunctionName}, {"cosh", Kind::FunctionName},
    {"coth", Kind::FunctionName}, {"sinh", Kind::FunctionName}, {"tanh", Kind::FunctionName},
    {"arccos", Kind::FunctionName}, {"arccot", Kind::FunctionName}, {"arccsc", Kind::FunctionName},
    {"arcsin", Kind::FunctionName}, {"arcsec", Kind::FunctionName}, {"arctan", Kind::FunctionName},
    {"injlim", Kind::FunctionName}, {"liminf", Kind::FunctionName}, {"limsup", Kind::FunctionName},
    {"projlim", Kind::FunctionName},
};
// clang-format on

constexpr auto command_name = [](const OperatorCommand& c) { return c.name; };
constexpr auto kOperatorIndex = sorted_table_index(kOperatorCommands, command_name);

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

[[gnu::noinline]] Result<Expr> operator_command_expr(const OperatorCommand& command) {
  switch (command.kind) {
    case Kind::BigOperator: {
      ast::BigOperator op;
      op.op = static_cast<ast::BigOperatorKind>(command.code);
      return Expr(std::move(op));
    }
    case Kind::IntegralSign: return Expr(ast::IntegralSign{static_cast<ast::IntegralKind>(command.code)});
    case Kind::QuadrupleIntegral: return quadruple_integral_expr();
    case Kind::FunctionName: return Expr(ast::FunctionName{std::string(command.name)});
    case Kind::MathOp: break;
  }
  internal_failure("internal error: operator command without a tree of its own");
}

}  // namespace

const OperatorCommand* find_operator_command(std::string_view name) {
  return find_in_table(kOperatorCommands, kOperatorIndex, command_name, name);
}

Result<Expr> parse_operator_command(Parser& parser, const OperatorCommand& command) {
  // Only \mathop reads further input; the trees of the others are built out
  // of line, off this frame, which recursion through \mathop keeps.
  return command.kind == Kind::MathOp ? parse_math_op(parser) : operator_command_expr(command);
}

bool is_big_symbol_command(std::string_view name) {
  return name == "bigsqcup" || big_symbol_command_to_char(name).has_value();
}

Result<Expr> big_symbol_command_expr(std::string_view name) {
  if (const std::optional<char32_t> ch = big_symbol_command_to_char(name)) return Expr(ast::BigSymbol{*ch});
  return Expr(ast::BigOperatorSymbol{U'\u2294'});  // \bigsqcup
}

Expr quadruple_integral_expr() {
  std::vector<Expr> items;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) items.push_back(Expr(ast::DefaultColor{ast::box(ast::make_char(U'\uEF01'))}));
    items.push_back(Expr(ast::IntegralSign{ast::IntegralKind::Int}));
  }
  return ast::make_sequence(std::move(items));
}

}  // namespace quorvix::parser
