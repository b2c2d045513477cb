// \qty and \quantity, and the size wrappers \abs and \norm with the
// two-argument brackets \comm, \acomm, \commutator, \anticommutator and
// \poissonbracket: an optional star and size word, then a body.
#include <utility>

#include "parser/chars.h"
#include "parser/commands/left_right_delimiter.h"
#include "parser/commands/named_commands.h"
#include "parser/helpers.h"
#include "parser/physics/physics.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

void append_size_word(std::string& raw, std::optional<std::string_view> size) {
  if (!size) return;
  raw += '\\';
  raw += *size;
}

// The command without a body: its word, the star and the size word as one
// raw leaf. Nothing but whitespace is left, so parsing goes on at the end.
[[gnu::noinline]] Expr bodiless_expr(std::string raw, bool star, std::optional<std::string_view> size) {
  if (star) raw += '*';
  append_size_word(raw, size);
  return ast::make_raw(std::move(raw));
}

// \qty\big{}: an empty group after the size word joins the word to the
// command's raw text.
bool consume_empty_group(Parser& p) {
  p.skip_ws();
  if (p.peek() != U'{') return false;
  const std::optional<std::size_t> close = p.closing_brace(p.pos());
  if (!close) return false;
  const std::u32string_view inside = p.chars().substr(p.pos() + 1, *close - p.pos() - 1);
  for (const char32_t c : inside)
    if (!is_whitespace(c)) return false;
  p.set_pos(*close + 1);
  return true;
}

[[gnu::noinline]] Expr quantity_expr(std::string raw, bool star, Expr body) {
  ExprList items;
  items.push_back(ast::make_raw(std::move(raw)));
  if (star) items.push_back(ast::make_char(U'*'));
  push_visible_items(items, std::move(body));
  return ast::collapse_single_sequence(ast::make_sequence(std::move(items)));
}

[[gnu::noinline]] ExprList wrapper_items(std::string_view name, bool star,
                                         std::optional<std::string_view> size, Expr body) {
  ExprList items;
  items.push_back(raw_command_expr(name));
  if (star) items.push_back(ast::make_char(U'*'));
  if (size) items.push_back(raw_command_expr(*size));
  push_visible_items(items, std::move(body));
  return items;
}

[[gnu::noinline]] Result<Expr> second_argument(Parser& p, std::string_view name, ExprList& items) {
  Result<Expr> argument = p.parse_required_group_or_atom(physics_context(name, "argument"));
  if (!argument.ok()) return argument;
  push_visible_items(items, std::move(argument.value()));
  return ast::make_sequence(std::move(items));
}

}  // namespace

Result<Expr> physics_quantity_command(Parser& p, const NamedCommand& command) {
  const bool star = p.consume_optional_star();
  std::string raw = backslash_name(command.name);
  std::optional<std::string_view> size = consume_optional_ignored_delimiter_size_command(p);
  if (size && command.name == "qty" && consume_empty_group(p)) {
    append_size_word(raw, size);
    size = consume_optional_ignored_delimiter_size_command(p);
  }
  Result<std::optional<Expr>> body = parse_physics_auto_brace_body(p, command.name);
  if (!body.ok()) return std::move(body).error();
  if (!body.value()) return bodiless_expr(std::move(raw), star, size);
  return quantity_expr(std::move(raw), star, std::move(**body));
}

Result<Expr> physics_size_wrapper_command(Parser& p, const NamedCommand& command) {
  const bool star = p.consume_optional_star();
  const std::optional<std::string_view> size = consume_optional_ignored_delimiter_size_command(p);
  Result<std::optional<Expr>> body = parse_physics_auto_brace_body(p, command.name);
  if (!body.ok()) return std::move(body).error();
  if (!body.value()) return bodiless_expr(backslash_name(command.name), star, size);
  ExprList items = wrapper_items(command.name, star, size, std::move(**body));
  if (command.code == kPhysicsSecondArgument) return second_argument(p, command.name, items);
  return ast::make_sequence(std::move(items));
}

}  // namespace quorvix::parser
