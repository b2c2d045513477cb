// Arrays and subarrays: a column specifier, then rows as in the other
// environments. Arrays also drop \hline and keep \hdashline raw at the start
// of a row; an array without rows still has one empty cell.
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "parser/chars.h"
#include "parser/environments/environments.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

struct ColumnSpec {
  std::optional<std::string> text;  // as written; none when the rows start at once
  bool bare = false;                // written without braces
};

// The end of a bare specifier: whitespace, `&`, `\\`, \end, or a `}` that
// closes an enclosing group.
bool ends_bare_spec(const Parser& p, std::size_t depth) {
  const char32_t c = *p.peek();
  if (depth > 0) return false;
  if (is_whitespace(c) || c == U'&' || c == U'}') return true;
  return p.starts_with("\\\\") || control_word_follows(p, U"end");
}

// Reads the specifier into `spec`: braced, bare, or none when the rows start
// at once.
[[gnu::noinline]] Status parse_optional_array_column_spec(Parser& p, ColumnSpec& spec) {
  p.skip_ws();
  if (p.peek() == U'{') {
    Result<std::string> braced = p.parse_raw_group("array column specifier");
    if (!braced.ok()) return std::move(braced).error();
    spec.text = std::move(braced.value());
    return Status();
  }
  if (p.at_end() || ends_bare_spec(p, 0)) return Status();
  const std::size_t start = p.pos();
  std::size_t depth = 0;
  while (!p.at_end() && !ends_bare_spec(p, depth)) {
    const char32_t c = *p.next_char();
    if (c == U'{') ++depth;
    if (c == U'}') --depth;
  }
  spec.text = encode_utf8(p.chars().substr(start, p.pos() - start));
  spec.bare = true;
  return Status();
}

[[gnu::noinline]] Status parse_subarray_columns(Parser& p, ColumnSpec& spec) {
  Result<std::string> columns = p.parse_raw_group("subarray column specifier");
  if (!columns.ok()) return std::move(columns).error();
  spec.text = std::move(columns.value());
  return Status();
}

// What an array reader keeps off the stack while the rows are read.
struct ArrayBody {
  ColumnSpec spec;
  GridBody grid;
};

[[gnu::noinline]] Expr unfinished_array_expr(std::string spec) {
  ExprList items;
  items.push_back(ast::make_raw("\\begin{array}"));
  items.push_back(ast::make_raw(std::move(spec)));
  return ast::make_sequence(std::move(items));
}

[[gnu::noinline]] Expr array_expr(ArrayBody& body) {
  body.grid.trivia.opening_raw = std::move(body.spec.text);
  return Expr(
      ast::Environment{std::move(body.grid.rows), std::move(body.grid.trivia), ast::EnvironmentKind::Array});
}

[[gnu::noinline]] Expr subarray_expr(ArrayBody& body) {
  return Expr(ast::Subarray{std::move(body.spec.text).value_or(std::string()), std::move(body.grid.rows)});
}

}  // namespace

Result<Expr> parse_array_environment(Parser& p, bool paired) {
  const ast::node_pool::PooledPtr<ArrayBody> body = ast::node_pool::make_pooled<ArrayBody>();
  Status read = parse_optional_array_column_spec(p, body->spec);
  if (!read.ok()) return std::move(read).error();
  if (body->spec.bare && p.at_end()) return unfinished_array_expr(std::move(*body->spec.text));
  if (!paired) return make_error("expected \\end{array}");
  read = parse_environment_rows(p, "array", RowRules::Array, body->grid);
  if (!read.ok()) return std::move(read).error();
  return array_expr(*body);
}

Result<Expr> parse_subarray_environment(Parser& p) {
  const ast::node_pool::PooledPtr<ArrayBody> body = ast::node_pool::make_pooled<ArrayBody>();
  Status read = parse_subarray_columns(p, body->spec);
  if (!read.ok()) return std::move(read).error();
  read = parse_environment_rows(p, "subarray", RowRules::Plain, body->grid);
  if (!read.ok()) return std::move(read).error();
  return subarray_expr(*body);
}

}  // namespace quorvix::parser
