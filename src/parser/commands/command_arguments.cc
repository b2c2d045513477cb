#include "parser/commands/command_arguments.h"

#include <string>

namespace quorvix::parser {

using ast::Expr;

namespace {

// Out of line: the message temporaries would widen frames that sit on
// recursive paths.
[[gnu::noinline]] Result<Expr> missing_argument(std::string_view prefix, std::string_view context) {
  std::string message(prefix);
  message += context;
  return make_error(std::move(message));
}

// Out of line, so that the callers pass its result on without a frame of
// their own on the recursion through the argument.
[[gnu::noinline]] Result<Expr> parse_atom_argument_once(Parser& p) {
  return p.attempt_once(Construct::CommandArgument, [&] { return p.parse_atom_with_scripts(); });
}

}  // namespace

Result<Expr> parse_brace_group_once(Parser& p) {
  p.next_char();  // the `{`
  return p.attempt_once(Construct::BraceGroup, [&] { return p.parse_sequence(U'}'); });
}

Result<Expr> parse_recoverable_group_or_atom(Parser& p, std::string_view context) {
  p.skip_ws();
  if (p.at_end()) return missing_argument("expected ", context);
  if (p.peek() == U'{') return parse_brace_group_once(p);
  return parse_atom_argument_once(p);
}

Result<Expr> parse_recoverable_group(Parser& p, std::string_view context) {
  p.skip_ws();
  if (p.peek() != U'{') return missing_argument("expected braced ", context);
  return parse_brace_group_once(p);
}

void recover_as_raw_command(Parser& p, Result<Expr>& result, std::size_t after_name, std::string_view name) {
  if (result.ok() || result.error().fatal) return;
  // A failed attempt has undone itself up to the whitespace it skipped.
  p.set_pos(after_name);
  result = raw_command(name);
}

Expr raw_command(std::string_view name) {
  std::string raw = "\\";
  raw += name;
  return ast::make_raw(std::move(raw));
}

}  // namespace quorvix::parser
