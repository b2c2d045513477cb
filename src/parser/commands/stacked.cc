// Stacked forms and labelled arrows: \stackrel and \overset, \underset,
// \overbrace and \underbrace (their labels arrive as scripts), and the
// extensible arrows with their labels.
#include <string>
#include <utility>

#include "parser/commands/template_handlers.h"
#include "parser/commands/templates.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

[[gnu::noinline]] Result<Expr> raw_command(std::string_view name) { return raw_command_expr(name); }

// The first group read: reads the second and replaces the first in `slot`
// with the node of both.
template <class Node>
[[gnu::noinline]] void build_two_groups(Result<Expr>& slot, Result<Expr>& second) {
  if (!second.ok()) {
    slot = std::move(second);
    return;
  }
  slot = Expr(Node{ast::box(std::move(slot.value())), ast::box(std::move(second.value()))});
}

template <class Node>
[[gnu::noinline]] void finish_two_groups(Parser& p, std::string_view second_label, Result<Expr>& slot) {
  Result<Expr> second = p.parse_required_group(second_label);
  build_two_groups<Node>(slot, second);
}

// Two braced groups; the first failure is the command's failure.
template <class Node>
Result<Expr> two_groups(Parser& p, std::string_view first_label, std::string_view second_label) {
  Result<Expr> node = p.parse_required_group(first_label);
  if (node.ok()) finish_two_groups<Node>(p, second_label, node);
  return node;
}

[[gnu::noinline]] void finish_brace(Result<Expr>& body, std::string_view name, ast::BraceKind kind) {
  if (body.ok()) {
    body = Expr(ast::Brace{ast::box(std::move(body.value())), nullptr, kind});
  } else if (!body.error().fatal) {
    body = raw_command_expr(name);
  }
}

// The label below read: reads the label above and replaces the lower one in
// `slot` with the arrow.
[[gnu::noinline]] void build_lower_labelled(ast::XArrowKind kind, Result<Expr>& slot, Result<Expr>& over) {
  if (!over.ok()) {
    slot = std::move(over);
    return;
  }
  slot = Expr(ast::XArrow{ast::box(std::move(over.value())), ast::box(std::move(slot.value())), kind});
}

[[gnu::noinline]] void finish_lower_labelled(Parser& p, ast::XArrowKind kind, Result<Expr>& slot) {
  Result<Expr> over = p.parse_required_group_or_atom("arrow label");
  build_lower_labelled(kind, slot, over);
}

[[gnu::noinline]] void finish_upper_labelled(ast::XArrowKind kind, Result<Expr>& slot) {
  if (slot.ok()) slot = Expr(ast::XArrow{ast::box(std::move(slot.value())), nullptr, kind});
}

// The labels of an extensible arrow: [below] then above. One result slot,
// filled in place: this sits on recursive paths.
[[gnu::noinline]] Result<Expr> parse_xarrow_labels(Parser& p, ast::XArrowKind kind) {
  p.skip_ws();
  const bool lower = p.peek() == U'[';
  if (lower) p.next_char();
  Result<Expr> arrow = lower ? p.parse_sequence(U']') : p.parse_required_group_or_atom("arrow label");
  if (!lower)
    finish_upper_labelled(kind, arrow);
  else if (arrow.ok())
    finish_lower_labelled(p, kind, arrow);
  return arrow;
}

}  // namespace

Result<Expr> parse_stackrel(Parser& p) {
  return two_groups<ast::Stackrel>(p, "stackrel upper", "stackrel lower");
}

Result<Expr> parse_underset(Parser& p) {
  return two_groups<ast::Underset>(p, "underset lower", "underset base");
}

Result<Expr> parse_brace_command(Parser& p, std::string_view name, ast::BraceKind kind) {
  // A body that cannot be read leaves the command raw; the text after its
  // name is then read again as ordinary input.
  Result<Expr> body =
      p.attempt_once(Construct::Argument, [&] { return p.parse_required_group_or_atom("brace content"); });
  finish_brace(body, name, kind);
  return body;
}

Result<Expr> parse_xarrow_command(Parser& p, std::string_view name, ast::XArrowKind kind) {
  Result<Expr> arrow = p.attempt_once(Construct::Argument, [&] { return parse_xarrow_labels(p, kind); });
  if (!arrow.ok() && !arrow.error().fatal) arrow = raw_command(name);
  return arrow;
}

}  // namespace quorvix::parser
