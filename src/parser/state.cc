// The parser object, the parse entry, the sequence loop and the atom dispatch.
#include <algorithm>
#include <utility>

#include "parser/char_debug.h"
#include "parser/chars.h"
#include "parser/definition_fallback.h"
#include "parser/group_braces.h"
#include "parser/helpers.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;

Error nesting_error() { return Error{std::string(kNestedTooDeeply), /*fatal=*/true}; }

Parser::Parser(std::string_view normalized)
    : chars_(decode_utf8(normalized)),
      macros_(std::make_shared<const MacroTable>()),
      let_aliases_(std::make_shared<const LetAliasTable>()) {}

bool Parser::starts_with(std::string_view text) const {
  if (chars_.size() - std::min(pos_, chars_.size()) < text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (chars_[pos_ + i] != static_cast<unsigned char>(text[i])) return false;
  return true;
}

void Parser::define_macro(std::string name, MacroDefinition definition) {
  auto table = std::make_shared<MacroTable>(*macros_);
  (*table)[std::move(name)] = std::move(definition);
  macros_ = std::move(table);
}

void Parser::remove_macro(std::string_view name) {
  if (macros_->find(name) == macros_->end()) return;
  auto table = std::make_shared<MacroTable>(*macros_);
  table->erase(table->find(name));
  macros_ = std::move(table);
}

void Parser::set_let_alias(std::string name, std::string target) {
  auto table = std::make_shared<LetAliasTable>(*let_aliases_);
  (*table)[std::move(name)] = std::move(target);
  let_aliases_ = std::move(table);
}

Result<Expr> Parser::parse() && {
  QV_ASSIGN_OR_RETURN(Expr expr, parse_sequence(std::nullopt));
  expr = merge_adjacent_raw_tex(std::move(expr));
  skip_ws();
  if (!at_end()) return make_error("unexpected character " + optional_char_debug(peek()));
  return expr;
}

namespace {

// A raw definition command that a following atom continues (the atom is
// shown as its replacement).
bool starts_with_raw_definition(const Expr& e) {
  const auto* seq = e.get_if<ast::Sequence>();
  if (seq == nullptr || seq->items.empty()) return false;
  const auto* raw = seq->items.front().get_if<ast::RawTex>();
  return raw != nullptr &&
         (raw->text == "\\newcommand" || raw->text == "\\renewcommand" || raw->text == "\\providecommand");
}

bool is_empty_sequence(const Expr& e) {
  const auto* seq = e.get_if<ast::Sequence>();
  return seq != nullptr && seq->items.empty();
}

}  // namespace

Result<Expr> Parser::parse_sequence(std::optional<char32_t> stop) {
  std::vector<Expr> items;
  for (;;) {
    std::string ws = consume_raw_whitespace();
    if (at_end() || (stop && peek() == stop)) {
      if (!stop) return ast::make_sequence(std::move(items));
      const std::optional<char32_t> found = next_char();
      if (found == stop) return ast::make_sequence(std::move(items));
      return make_error("expected " + char_debug(*stop) + ", found " + optional_char_debug(found));
    }

    if (auto infix = consume_infix_command())
      return parse_infix_rest(std::move(*infix), std::move(items), stop, std::move(ws));

    QV_ASSIGN_OR_RETURN(Expr atom, parse_complete_atom());
    atom = with_leading_raw_space(std::move(atom), ws);
    if (is_empty_sequence(atom)) continue;
    if (ast::is_translation_failed_marker(atom)) return atom;

    if (!items.empty() && starts_with_raw_definition(items.back()) && !starts_with_raw_definition(atom)) {
      items.back().as<ast::Sequence>().items.push_back(normalize_definition_fallback_expr(std::move(atom)));
    } else {
      items.push_back(std::move(atom));
    }
  }
}

Result<Expr> Parser::parse_atom() {
  NestingScope scope(*this);
  if (scope.exceeded()) return nesting_error();

  std::string leading_space = std::exchange(pending_space_, std::string());
  leading_space += consume_raw_whitespace();
  const std::optional<char32_t> c = next_char();
  if (!c) return make_error("expected atom, found None");
  switch (*c) {
    case U'\'': return with_leading_raw_space(ast::make_raw("'"), leading_space);
    case U'\\': return parse_command(leading_space);
    case U'{': return parse_group_atom();
    case U'}': return ast::make_raw("}");
    default: return parse_literal_char(*c, leading_space);
  }
}

Result<Expr> Parser::parse_group_atom() {
  const std::size_t after_brace = pos_;
  Result<Expr> group = attempt_once(Construct::BraceGroup, [&] { return parse_sequence(U'}'); });
  if (!group.ok()) {
    if (group.error().fatal) return std::move(group).error();
    // The brace stays as raw text and parsing resumes inside the group.
    // Whitespace that the failed attempt left pending belongs to text that
    // is read again, so it is dropped with the attempt.
    pos_ = after_brace;
    pending_space_.clear();
    return ast::make_raw("{");
  }
  return preserve_raw_group_braces(std::move(group).value());
}

Result<Expr> Parser::parse_macro_replacement(std::string_view text) {
  Parser sub(text);
  sub.environment_stack_ = environment_stack_;
  sub.shell_stack_ = shell_stack_;
  sub.macros_ = macros_;
  sub.let_aliases_ = let_aliases_;
  sub.depth_ = depth_ + 1;
  sub.nesting_ = nesting_ + 1;
  if (sub.nesting_ > kMaxNestingDepth) return nesting_error();

  QV_ASSIGN_OR_RETURN(Expr expr, sub.parse_sequence(std::nullopt));
  sub.skip_ws();
  if (!sub.at_end())
    return make_error("unexpected character in macro replacement " + optional_char_debug(sub.peek()));
  return expr;
}

}  // namespace quorvix::parser
