// The lookups tried after the named commands, in their fixed order; the
// first that knows the name decides:
//   spacing commands, extensible arrows kept partly raw, extensible arrows,
//   big symbols (\bigoplus ..., then \bigsqcup), symbols that keep their
//   name, delimiter names, character runs, text runs, plain characters.
//
// Only the partly raw arrows read further input (their labels), so only they
// recurse; the trees of the others are built out of line, off this frame.
#include <utility>
#include <vector>

#include "parser/commands/big_operators.h"
#include "parser/commands/symbol_tables.h"
#include "parser/commands/templates.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// A tree found by a table, built in place in the optional result.
std::optional<Result<Expr>> found(Expr&& tree) {
  return std::optional<Result<Expr>>(std::in_place, std::move(tree));
}

[[gnu::noinline]] std::optional<Result<Expr>> space_expr(std::uint8_t width) {
  return found(Expr(ast::Space{width}));
}

// \xmapsto[below]{above} and its relatives: the arrow stays raw TeX and
// its labels are shown after it in the order typed, the optional one
// between its brackets:
//   Sequence[RawTex "\xmapsto", Char '[', below..., Char ']', above...].
// The parts live off the recursive path: the labels read so far in the
// caller's list, the required label in the caller's result.

// The optional label, appended to `labels` with its brackets.
[[gnu::noinline]] Status read_optional_label(Parser& p, ExprList& labels) {
  Result<std::optional<Expr>> below = p.parse_optional_bracket_group();
  if (!below.ok()) return std::move(below).error();
  if (below.value()) {
    labels.push_back(ast::make_char(U'['));
    labels.push_back(std::move(*below.value()));
    labels.push_back(ast::make_char(U']'));
  }
  return {};
}

[[gnu::noinline]] Result<Expr> read_arrow_labels(Parser& p, ExprList& labels) {
  if (Status bracket = read_optional_label(p, labels); !bracket.ok()) return std::move(bracket).error();
  return p.parse_required_group_or_atom("arrow label");
}

// The arrow with its labels; after a failure that is not fatal, the arrow
// alone (a missing label, an unclosed group), what followed it then being
// parsed as ordinary input.
[[gnu::noinline]] void finish_arrow(Result<Expr>& arrow, ExprList& labels, std::string_view name) {
  if (arrow.ok()) {
    labels.push_back(std::move(arrow.value()));
    arrow = raw_prefix_sequence(name, std::move(labels));
  } else if (!arrow.error().fatal) {
    std::string raw = "\\";
    raw += name;
    arrow = ast::make_raw(std::move(raw));
  }
}

[[gnu::noinline]] std::optional<Result<Expr>> parse_raw_hybrid_xarrow(Parser& p, std::string_view name) {
  ExprList labels;
  Result<Expr> arrow = p.attempt_once(Construct::ArrowLabels, [&] { return read_arrow_labels(p, labels); });
  finish_arrow(arrow, labels, name);
  return arrow;
}

[[gnu::noinline]] std::optional<Result<Expr>> xarrow_expr(Parser& p, std::string_view name,
                                                          ast::XArrowKind kind) {
  return parse_xarrow_command(p, name, kind);
}

[[gnu::noinline]] std::optional<Result<Expr>> big_symbol_expr(std::string_view name) {
  return big_symbol_command_expr(name);
}

// The symbol tables after the big symbols, in their order.
[[gnu::noinline]] std::optional<Result<Expr>> symbol_expr(const std::string& name, HashedName key) {
  if (const std::optional<char32_t> ch = command_specific_to_char(key))
    return found(Expr(ast::CommandSymbol{name, *ch}));
  if (const std::optional<char32_t> ch = delimiter_command_char(key)) return found(ast::make_char(*ch));
  if (const std::optional<std::u32string_view> chars = command_to_sequence(key)) {
    ExprList items;
    items.reserve(chars->size());
    for (const char32_t ch : *chars) items.push_back(ast::make_char(ch));
    return found(ast::make_sequence(std::move(items)));
  }
  if (const std::optional<std::string_view> text = command_to_text(key))
    return found(ast::make_text(std::string(*text)));
  if (const std::optional<char32_t> ch = command_to_char(key)) return found(ast::make_char(*ch));
  return std::nullopt;
}

}  // namespace

std::optional<Result<Expr>> Parser::parse_table_command(const std::string& name, HashedName key) {
  if (const std::optional<std::uint8_t> width = spacing_command_width(key)) return space_expr(*width);
  if (raw_hybrid_xarrow_command(key)) return parse_raw_hybrid_xarrow(*this, name);
  if (const std::optional<ast::XArrowKind> kind = xarrow_command_kind(key))
    return xarrow_expr(*this, name, *kind);
  if (is_big_symbol_command(key)) return big_symbol_expr(name);
  return symbol_expr(name, key);
}

}  // namespace quorvix::parser
