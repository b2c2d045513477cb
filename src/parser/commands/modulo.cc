// \pmod and \pod: the argument in parentheses after a quad of space.
#include <utility>
#include <vector>

#include "parser/commands/templates.h"

namespace quorvix::parser {

using ast::Expr;

Expr modulo_parenthesized_expr(Expr argument, bool with_mod) {
  Expr inner = with_mod ? ast::make_sequence([&] {
    std::vector<Expr> items;
    items.push_back(Expr(ast::FunctionName{"mod"}));
    items.push_back(std::move(argument));
    return items;
  }())
                        : std::move(argument);
  std::vector<Expr> items;
  items.push_back(Expr(ast::Space{5}));
  items.push_back(Expr(ast::Delimited{ast::box(std::move(inner)), U'(', U')'}));
  return ast::make_sequence(std::move(items));
}

}  // namespace quorvix::parser
