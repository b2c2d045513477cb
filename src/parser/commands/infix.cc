// The infix commands of plain TeX (\over, \atop, \choose, \brace, \brack,
// \above) between the atoms of a sequence: the items before the command are
// its left side, the rest of the sequence its right side. Inside a braced
// group \over and \choose build a fraction and a binomial; everywhere else,
// and for the other commands, the command is kept raw between the two sides.
#include <array>
#include <string>
#include <utility>

#include "parser/chars.h"
#include "parser/commands/infix.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

struct InfixName {
  std::u32string_view name;
  InfixCommand command;
};

constexpr std::array<InfixName, 6> kInfixNames = {{
    {U"over", InfixCommand::Over},
    {U"above", InfixCommand::Above},
    {U"atop", InfixCommand::Atop},
    {U"choose", InfixCommand::Choose},
    {U"brace", InfixCommand::Brace},
    {U"brack", InfixCommand::Brack},
}};

// Whether a control word starting with `c` may be an infix name; most
// commands are ruled out by their first letter.
constexpr bool may_start_infix_name(char32_t c) { return c == U'o' || c == U'a' || c == U'c' || c == U'b'; }

static_assert([] {
  for (const InfixName& n : kInfixNames)
    if (!may_start_infix_name(n.name[0])) return false;
  return true;
}());

constexpr std::size_t name_length(InfixCommand command) {
  for (const InfixName& n : kInfixNames)
    if (n.command == command) return n.name.size();
  return 0;
}

// The raw text of a command as written back: a backslash and its name.
std::string command_text(InfixCommand command) {
  switch (command) {
    case InfixCommand::Over: return "\\over";
    case InfixCommand::Above: return "\\above";
    case InfixCommand::Atop: return "\\atop";
    case InfixCommand::Choose: return "\\choose";
    case InfixCommand::Brace: return "\\brace";
    case InfixCommand::Brack: return "\\brack";
  }
  return {};
}

// Left side, raw piece, right side as one flat sequence; a side that is a
// Sequence contributes its items.
[[gnu::noinline]] Expr raw_infix_expr(ExprList& left, std::string piece, Expr right) {
  ExprList items = std::move(left);
  items.push_back(ast::make_raw(std::move(piece)));
  push_visible_items(items, std::move(right));
  return ast::make_sequence(std::move(items));
}

}  // namespace

// Inside a braced group: \over and \choose build structure; the others keep
// a fixed raw piece (\atop and \above with a space in front).
Expr infix_expr(InfixCommand command, ExprList& left, Expr right) {
  switch (command) {
    case InfixCommand::Over:
      return Expr(ast::Fraction{ast::box(ast::make_sequence(std::move(left))), ast::box(std::move(right))});
    case InfixCommand::Choose:
      return Expr(ast::Binomial{ast::box(ast::make_sequence(std::move(left))), ast::box(std::move(right)),
                                ast::BinomialKind::Choose});
    case InfixCommand::Atop: return raw_infix_expr(left, " \\atop", std::move(right));
    case InfixCommand::Above: return raw_infix_expr(left, " \\above", std::move(right));
    case InfixCommand::Brace: return raw_infix_expr(left, "\\brace", std::move(right));
    case InfixCommand::Brack: return raw_infix_expr(left, "\\brack", std::move(right));
  }
  return raw_infix_expr(left, command_text(command), std::move(right));
}

namespace {

// Elsewhere every infix command stays raw, after the whitespace that was
// written in front of it.
Expr raw_infix_command_expr(InfixCommand command, ExprList& left, Expr right, const std::string& prefix) {
  return raw_infix_expr(left, prefix + command_text(command), std::move(right));
}

// Replaces the right side in `result` with the combination of both sides.
[[gnu::noinline]] void combine_infix(Result<Expr>& result, InfixCommand command, ExprList& left,
                                     bool in_group, const std::string& prefix) {
  if (!result.ok()) return;
  Expr right = std::move(result.value());
  result = in_group ? infix_expr(command, left, std::move(right))
                    : raw_infix_command_expr(command, left, std::move(right), prefix);
}

[[gnu::noinline]] Result<Expr> infix_nesting_failure() { return nesting_error(); }

// The whitespace in front of the command: what the last atom left pending
// (it belongs to the command, not to the atom after it) and what the
// sequence read since.
[[gnu::noinline]] std::string take_separator_prefix(std::string& pending, const std::string& whitespace) {
  std::string prefix = std::exchange(pending, std::string());
  prefix += whitespace;
  return prefix;
}

[[gnu::noinline]] void append_raw_over(ExprList& items) { items.push_back(ast::make_raw(" \\over")); }

[[gnu::noinline]] Result<Expr> finish_repeated_over(ExprList& items, Result<Expr>& rest) {
  if (!rest.ok()) return std::move(rest);
  push_visible_items(items, std::move(rest.value()));
  return ast::collapse_single_sequence(ast::make_sequence(std::move(items)));
}

}  // namespace

std::optional<InfixCommand> Parser::peek_infix_command() const {
  if (pos_ >= chars_.size() || chars_[pos_] != U'\\') return std::nullopt;
  const std::u32string_view rest = chars_.substr(pos_ + 1);
  if (rest.empty() || !may_start_infix_name(rest[0])) return std::nullopt;
  for (const InfixName& n : kInfixNames) {
    if (!rest.starts_with(n.name)) continue;
    if (rest.size() > n.name.size() && is_ascii_letter(rest[n.name.size()])) continue;
    return n.command;
  }
  return std::nullopt;
}

std::optional<InfixCommand> Parser::consume_infix_command() {
  const std::optional<InfixCommand> command = peek_infix_command();
  if (command) pos_ += 1 + name_length(*command);
  return command;
}

bool Parser::over_follows_in_sequence(std::optional<char32_t> stop) {
  // Braces are counted verbatim; a group is skipped whole, and one that is
  // never closed keeps the rest of the text at a deeper level.
  for (std::size_t i = pos_; i < chars_.size();) {
    const char32_t c = chars_[i];
    if (c == U'}' || (stop && c == *stop)) return false;
    if (c == U'{') {
      const std::optional<std::size_t> close = closing_brace(i);
      if (!close) return false;
      i = *close + 1;
      continue;
    }
    if (c == U'\\' && chars_.substr(i + 1).starts_with(U"over") &&
        (i + 5 >= chars_.size() || !is_ascii_letter(chars_[i + 5])))
      return true;
    ++i;
  }
  return false;
}

Result<Expr> Parser::parse_infix_rest(ExprList& items, std::optional<char32_t> stop,
                                      const std::string& whitespace) {
  // Each infix command of a sequence parses the rest of it one level down.
  NestingScope scope(*this);
  if (scope.exceeded()) return infix_nesting_failure();
  const InfixCommand command = consume_infix_command().value_or(InfixCommand::Over);
  const std::string prefix = take_separator_prefix(pending_space_, whitespace);
  if (command == InfixCommand::Over && over_follows_in_sequence(stop))
    return parse_repeated_over_fallback(items, stop);
  Result<Expr> result = parse_sequence(stop);
  combine_infix(result, command, items, stop == U'}', prefix);
  return result;
}

Result<Expr> Parser::parse_repeated_over_fallback(ExprList& items, std::optional<char32_t> stop) {
  // a \over b \over c: a flat run with every \over raw, never nested
  // fractions. Each operand is one argument; the run ends at the first
  // operand not followed by another \over.
  for (;;) {
    append_raw_over(items);
    Result<Expr> operand = parse_required_group_or_atom("over operand");
    if (!operand.ok()) return operand;
    push_visible_items(items, std::move(operand.value()));
    const std::size_t after_operand = pos_;
    skip_ws();
    if (peek_infix_command() != InfixCommand::Over) {
      pos_ = after_operand;
      break;
    }
    consume_infix_command();
    pending_space_.clear();  // the whitespace before it is part of the raw piece
  }
  Result<Expr> rest = parse_sequence(stop);
  return finish_repeated_over(items, rest);
}

}  // namespace quorvix::parser
