// \substack{a \\ b}: rows of one cell each, stacked (under big operators);
// \cline{i-j}: a partial rule, which is dropped.
#include <string>
#include <utility>
#include <vector>

#include "parser/char_debug.h"
#include "parser/commands/named_commands.h"
#include "parser/environments/environments.h"
#include "parser/helpers.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

[[gnu::noinline]] Error expected_open_brace(const Parser& p) {
  const std::optional<char32_t> next = p.peek();
  return make_error("expected '{', found " + (next ? char_debug(*next) : std::string("None")));
}

[[gnu::noinline]] void add_row(ast::Rows& rows, Expr cell) {
  rows.emplace_back();
  rows.back().push_back(std::move(cell));
}

}  // namespace

Result<ast::Rows> parse_row_stack_group(Parser& p) {
  p.skip_ws();
  if (p.peek() != U'{') return expected_open_brace(p);
  p.next_char();
  ast::Rows rows;
  p.skip_ws();
  if (p.peek() == U'}') {
    p.next_char();
    return rows;
  }
  for (;;) {
    Result<Expr> row = parse_sequence_until_environment_stop(p, RowRules::RowStack);
    if (!row.ok()) return std::move(row).error();
    add_row(rows, std::move(row.value()));
    p.skip_ws();
    if (p.peek() == U'}') {
      p.next_char();
      return rows;
    }
    if (!p.starts_with("\\\\")) return make_error("expected \\\\ or closing brace for substack content");
    p.set_pos(p.pos() + 2);
    p.skip_ws();
    if (p.peek() == U'}') {
      p.next_char();
      return rows;
    }
  }
}

Result<Expr> substack_command(Parser& p, const NamedCommand& command) {
  const std::size_t start = p.pos();
  p.skip_ws();
  if (p.peek() != U'{') {
    p.set_pos(start);
    return p.parse_unsupported_command(command.name);
  }
  Result<ast::Rows> rows = parse_row_stack_group(p);
  if (!rows.ok()) return std::move(rows).error();
  return Expr(ast::Substack{std::move(rows.value())});
}

Result<Expr> cline_command(Parser& p, const NamedCommand& command) {
  const std::size_t start = p.pos();
  Result<std::string> span = p.parse_raw_group("cline span");
  if (span.ok()) return ast::make_sequence({});
  p.set_pos(start);
  return raw_command_expr(command.name);
}

}  // namespace quorvix::parser
