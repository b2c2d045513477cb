// \left ... \right groups and \middle.
//
// The body of a group runs to its \right or to the end of the input; an infix
// command in it builds structure (\over a fraction). With both delimiters read,
// the group is a fence when the format can draw it (a pair, or one delimiter
// and a `.`), and otherwise a flat run of the delimiters and the body. A
// delimiter that cannot be read keeps \left, or \right, as raw TeX.
//
// The body recurses through the atoms it parses (each holds a nesting level)
// and once per infix command (a level of its own). A failed body is
// remembered at the position of its \left, so a construct around it that
// reads the text again does not parse the same body again.
#include <string>
#include <utility>
#include <vector>

#include "parser/chars.h"
#include "parser/commands/infix.h"
#include "parser/commands/left_right_delimiter.h"
#include "parser/commands/named_commands.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

using ast::is_empty_sequence;

namespace {

bool control_word_at(const Parser& p, std::size_t at, std::u32string_view word) {
  const std::u32string_view chars = p.chars();
  if (at >= chars.size() || chars[at] != U'\\') return false;
  const std::u32string_view rest = chars.substr(at + 1);
  return rest.substr(0, word.size()) == word &&
         (rest.size() == word.size() || !is_ascii_letter(rest[word.size()]));
}

bool at_right(const Parser& p) { return control_word_at(p, p.pos(), U"right"); }

[[gnu::noinline]] Result<Expr> body_nesting_failure() { return nesting_error(); }

[[gnu::noinline]] Result<Expr> body_items(ExprList& items) { return ast::make_sequence(std::move(items)); }

[[gnu::noinline]] void combine_body_infix(Result<Expr>& rest, InfixCommand command, ExprList& left) {
  if (rest.ok()) rest = infix_expr(command, left, std::move(rest.value()));
}

Result<Expr> parse_left_body(Parser& p, bool& reached_right);

// An infix command in a body: the rest of the body is its right side, one
// nesting level down.
[[gnu::noinline]] Result<Expr> parse_body_infix(Parser& p, ExprList& items, bool& reached_right) {
  Parser::NestingScope scope(p);
  if (scope.exceeded()) return body_nesting_failure();
  const InfixCommand command = p.consume_infix_command().value_or(InfixCommand::Over);
  p.pending_space().clear();  // the whitespace before the command goes with it
  Result<Expr> rest = parse_left_body(p, reached_right);
  combine_body_infix(rest, command, items);
  return rest;
}

// The body of a \left group: a Sequence of the atoms up to \right (the
// parser left on its backslash, `reached_right` set) or to the end of the
// input.
Result<Expr> parse_left_body(Parser& p, bool& reached_right) {
  reached_right = false;
  ExprList items;
  for (;;) {
    std::string ws = p.consume_raw_whitespace();
    if (p.at_end()) return body_items(items);
    if (at_right(p)) {
      // Whitespace in front of \right is not kept.
      p.pending_space().clear();
      reached_right = true;
      return body_items(items);
    }
    if (p.infix_command_follows()) return parse_body_infix(p, items, reached_right);
    Result<Expr> atom = p.parse_complete_atom();
    if (!take_body_atom(items, atom, ws)) return atom;
  }
}

// What the delimiter stands for in the tests of the fence rules: the
// character of a Plain or Named delimiter.
std::optional<char32_t> fence_char(const LeftRightDelimiter& d) {
  if (d.form == DelimiterForm::RawName) return std::nullopt;
  return d.ch;
}

bool is_plain(const LeftRightDelimiter& d, char32_t c) { return d.form == DelimiterForm::Plain && d.ch == c; }

// Both delimiters `.`: with a raw \middle and its fence leading the body,
// those and the rest; otherwise the body as it is, between \left. and
// \right. kept as written.
Expr empty_fences_expr(std::string_view left_raw, Expr body, std::string_view right_raw) {
  if (std::optional<Expr> rewritten = rewrite_missing_outer_fence_with_middle(body))
    return std::move(*rewritten);
  std::string closing = "\\right";
  closing += right_raw;
  return partial_left_right_expr(left_raw, std::move(body), std::string_view(closing));
}

// The tree of a group with both delimiters read, by the first rule that
// applies.
[[gnu::noinline]] Expr left_right_expr(DelimiterWithRaw& left, Expr body, LeftRightDelimiter& right,
                                       std::string_view right_raw) {
  const std::optional<char32_t> l = fence_char(left.delimiter), r = fence_char(right);
  if (l && r && supports_dynamic_delimiter_pair(*l, *r))
    return Expr(ast::Delimited{ast::box(std::move(body)), *l, *r});
  if (is_plain(left.delimiter, U'.') && r && supports_one_sided_delimiter(*r))
    return Expr(ast::OneSidedDelimited{ast::box(std::move(body)), *r, ast::DelimiterSide::Right});
  if (is_plain(right, U'.') && l && supports_one_sided_delimiter(*l))
    return Expr(ast::OneSidedDelimited{ast::box(std::move(body)), *l, ast::DelimiterSide::Left});
  if (is_plain(left.delimiter, U'.') && is_plain(right, U'.'))
    return empty_fences_expr(left.raw, std::move(body), right_raw);
  ExprList items;
  const DelimiterForm lf = left.delimiter.form, rf = right.form;
  if (lf == DelimiterForm::Named && rf == DelimiterForm::Named) {
    // Two named symbols keep the body as one item between them.
    push_left_right_delimiter(items, "left", std::move(left.delimiter));
    items.push_back(std::move(body));
    push_left_right_delimiter(items, "right", std::move(right));
    return ast::make_sequence(std::move(items));
  }
  push_left_right_delimiter(items, "left", std::move(left.delimiter));
  push_visible_items(items, std::move(body));
  push_left_right_delimiter(items, "right", std::move(right));
  return ast::make_sequence(std::move(items));
}

// After the body, at \right: the right delimiter and the group's tree, or
// the partial form with a raw \right when the delimiter cannot be read.
[[gnu::noinline]] Expr close_left_group(Parser& p, DelimiterWithRaw& left, Expr body) {
  const std::size_t right_start = p.pos();
  p.set_pos(right_start + 1 + 5);  // the backslash and "right"
  const std::size_t delimiter_start = p.pos();
  Result<LeftRightDelimiter> right = parse_left_right_delimiter(p, "right delimiter");
  if (!right.ok()) {
    p.set_pos(right_start + 1 + 5);
    return partial_left_right_expr(left.raw, std::move(body), std::string_view("\\right"));
  }
  const std::string right_raw = encode_utf8(p.chars().substr(delimiter_start, p.pos() - delimiter_start));
  return left_right_expr(left, std::move(body), right.value(), right_raw);
}

[[gnu::noinline]] void finish_left_group(Parser& p, Result<Expr>& body, DelimiterWithRaw& left,
                                         bool reached_right) {
  if (!body.ok()) return;
  if (!reached_right) {
    body = partial_left_right_expr(left.raw, std::move(body.value()), std::nullopt);
    return;
  }
  body = close_left_group(p, left, std::move(body.value()));
}

[[gnu::noinline]] std::optional<DelimiterWithRaw> read_left_delimiter(Parser& p) {
  const std::size_t after_left = p.pos();
  Result<DelimiterWithRaw> left = parse_left_right_delimiter_with_raw(p, "left delimiter");
  if (left.ok()) return std::move(left.value());
  p.set_pos(after_left);
  return std::nullopt;
}

// The whole group is one result, returned in place: this frame sits on the
// recursion through nested groups.
Result<Expr> parse_left_group(Parser& p) {
  std::optional<DelimiterWithRaw> left = read_left_delimiter(p);
  if (!left) return raw_command_expr("left");
  bool reached_right = false;
  Result<Expr> body = p.attempt_once(Construct::LeftRight, [&] { return parse_left_body(p, reached_right); });
  finish_left_group(p, body, *left, reached_right);
  return body;
}

// Where \middle has no delimiter after it: the end of the input, a cell or
// group end, \right, \end or a row break.
bool middle_has_no_delimiter(const Parser& p) {
  const std::size_t at = p.pos();
  if (p.at_end()) return true;
  const char32_t c = *p.peek();
  if (c == U'&' || c == U'}') return true;
  if (c != U'\\') return false;
  return p.peek(1) == U'\\' || control_word_at(p, at, U"right") || control_word_at(p, at, U"end");
}

}  // namespace

Result<Expr> left_group_command(Parser& p, const NamedCommand& /*command*/) { return parse_left_group(p); }

Result<Expr> middle_delimiter_command(Parser& p, const NamedCommand& command) {
  // \middle builds no structure: it stays raw and leaves a visible
  // delimiter to the ordinary parse.
  p.skip_ws();
  if (middle_has_no_delimiter(p)) return p.parse_unsupported_command(command.name);
  const std::size_t start = p.pos();
  Result<LeftRightDelimiter> delimiter = parse_left_right_delimiter(p, "middle delimiter");
  if (!delimiter.ok()) {
    p.set_pos(start);
    return raw_command_expr("middle");
  }
  const LeftRightDelimiter& d = delimiter.value();
  if (d.form == DelimiterForm::RawName) {
    std::string raw = "\\middle\\";
    raw += d.name;
    return ast::make_raw(std::move(raw));
  }
  if (!(d.form == DelimiterForm::Plain && d.ch == U'.')) p.set_pos(start);
  return raw_command_expr("middle");
}

}  // namespace quorvix::parser
