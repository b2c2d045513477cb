#include "parser/text_mode/text_tail.h"

#include <utility>
#include <vector>

#include "parser/chars.h"
#include "parser/parser.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

std::string consume_adjacent_text_tail(Parser& p) {
  std::string tail;
  while (const std::optional<char32_t> c = p.peek()) {
    if (!is_ascii_letter(*c) && !(*c >= U'0' && *c <= U'9')) break;
    tail.push_back(static_cast<char>(*c));
    p.next_char();
  }
  return tail;
}

Expr append_visible_text_tail(Expr expr, std::string tail) {
  if (auto* seq = expr.get_if<ast::Sequence>()) {
    seq->items.push_back(ast::make_text(std::move(tail)));
    return expr;
  }
  ExprList items;
  items.push_back(std::move(expr));
  items.push_back(ast::make_text(std::move(tail)));
  return ast::make_sequence(std::move(items));
}

}  // namespace quorvix::parser
