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
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

[[gnu::noinline]] std::optional<Result<Expr>> space_expr(std::uint8_t width) {
  return Result<Expr>(Expr(ast::Space{width}));
}

// The labels of \xmapsto[below]{above} and its relatives, read after the
// name: the arrow stays raw TeX and the labels are shown after it in the
// order typed, the optional one between its brackets:
//   Sequence[RawTex "\xmapsto", Char '[', below..., Char ']', above...].
[[gnu::noinline]] Result<Expr> read_arrow_labels(Parser& p, std::string_view name) {
  Result<std::optional<Expr>> below = p.parse_optional_bracket_group();
  if (!below.ok()) return std::move(below).error();
  Result<Expr> above = p.parse_required_group_or_atom("arrow label");
  if (!above.ok()) return above;
  std::vector<Expr> labels;
  if (below.value()) {
    labels.push_back(ast::make_char(U'['));
    labels.push_back(std::move(*below.value()));
    labels.push_back(ast::make_char(U']'));
  }
  labels.push_back(std::move(above.value()));
  return raw_prefix_sequence(name, std::move(labels));
}

[[gnu::noinline]] void arrow_alone(Result<Expr>& arrow, std::string_view name) {
  std::string raw = "\\";
  raw += name;
  arrow = ast::make_raw(std::move(raw));
}

// Labels that cannot be read (a missing label, an unclosed group) leave the
// arrow alone as raw TeX; what followed it is then parsed as ordinary input.
[[gnu::noinline]] std::optional<Result<Expr>> parse_raw_hybrid_xarrow(Parser& p, std::string_view name) {
  Result<Expr> arrow = p.attempt_once(Construct::ArrowLabels, [&] { return read_arrow_labels(p, name); });
  if (!arrow.ok() && !arrow.error().fatal) arrow_alone(arrow, name);
  return arrow;
}

[[gnu::noinline]] std::optional<Result<Expr>> unsupported_expr(Parser& p, std::string_view name) {
  return p.parse_unsupported_command(name);
}

[[gnu::noinline]] std::optional<Result<Expr>> big_symbol_expr(std::string_view name) {
  return big_symbol_command_expr(name);
}

// The symbol tables after the big symbols, in their order.
[[gnu::noinline]] std::optional<Result<Expr>> symbol_expr(const std::string& name) {
  if (const std::optional<char32_t> ch = command_specific_to_char(name))
    return Result<Expr>(Expr(ast::CommandSymbol{name, *ch}));
  if (const std::optional<char32_t> ch = delimiter_command_char(name))
    return Result<Expr>(ast::make_char(*ch));
  if (const std::optional<std::u32string_view> chars = command_to_sequence(name)) {
    std::vector<Expr> items;
    items.reserve(chars->size());
    for (const char32_t ch : *chars) items.push_back(ast::make_char(ch));
    return Result<Expr>(ast::make_sequence(std::move(items)));
  }
  if (const std::optional<std::string_view> text = command_to_text(name))
    return Result<Expr>(ast::make_text(std::string(*text)));
  if (const std::optional<char32_t> ch = command_to_char(name)) return Result<Expr>(ast::make_char(*ch));
  return std::nullopt;
}

}  // namespace

std::optional<Result<Expr>> Parser::parse_table_command(const std::string& name) {
  if (const std::optional<std::uint8_t> width = spacing_command_width(name)) return space_expr(*width);
  if (raw_hybrid_xarrow_command(name)) return parse_raw_hybrid_xarrow(*this, name);
  // No writer for XArrow nodes exists yet: until there is one, the remaining
  // extensible arrows (\xleftarrow, \xrightarrow) take the raw fallback, and
  // their labels are parsed as ordinary input after them.
  if (xarrow_command_kind(name)) return unsupported_expr(*this, name);
  if (is_big_symbol_command(name)) return big_symbol_expr(name);
  return symbol_expr(name);
}

}  // namespace quorvix::parser
