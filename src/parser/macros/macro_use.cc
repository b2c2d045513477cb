// A use of a macro recorded from \def or \gdef: the command stays raw TeX
// and its arguments, each a braced group, are shown after it. A missing
// argument group leaves the bare command.
#include <utility>
#include <vector>

#include "parser/helpers.h"
#include "parser/macros/macros.h"
#include "parser/parser.h"
#include "parser/text_mode/arguments.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// The next argument group parsed; `read` is false (and the parser back at
// `restart`) when no group can be read.
[[gnu::noinline]] Result<Expr> macro_argument(Parser& p, std::string_view label, std::size_t restart,
                                              bool& read) {
  Result<TextSpan> span = read_raw_group_span(p, label);
  read = span.ok();
  if (!read) {
    p.set_pos(restart);
    return Expr();
  }
  return p.parse_text_range(span.value().begin, span.value().end);
}

[[gnu::noinline]] Result<Expr> two_argument_use(Parser& p, std::string_view name, std::size_t after_name) {
  bool read = false;
  Result<Expr> first = macro_argument(p, "macro first argument", after_name, read);
  if (!read) return raw_command_expr(name);
  if (!first.ok()) return first;
  ExprList arguments;
  arguments.push_back(std::move(first.value()));
  Result<Expr> second = macro_argument(p, "macro second argument", p.pos(), read);
  if (!second.ok()) return second;
  if (read) arguments.push_back(std::move(second.value()));
  return raw_prefix_sequence(name, std::move(arguments));
}

}  // namespace

Result<Expr> parse_macro_use(Parser& p, std::string_view name, std::uint8_t parameters) {
  const std::size_t after_name = p.pos();
  if (parameters == 0) return raw_command_expr(name);
  if (parameters >= 2) return two_argument_use(p, name, after_name);
  bool read = false;
  Result<Expr> argument = macro_argument(p, "macro argument", after_name, read);
  if (!read) return raw_command_expr(name);
  if (argument.ok()) argument.value() = raw_prefix_expr(name, std::move(argument.value()));
  return argument;
}

}  // namespace quorvix::parser
