#include "parser/definition_fallback.h"

#include <utility>

#include "common/small_stack.h"

namespace quorvix::parser {

using ast::Expr;

namespace {

Expr big_operator_sign(ast::BigOperatorKind kind) {
  switch (kind) {
    case ast::BigOperatorKind::Sum: return Expr(ast::BigOperatorSymbol{U'\u2211'});
    case ast::BigOperatorKind::Prod: return Expr(ast::BigSymbol{U'\u220F'});
    case ast::BigOperatorKind::Coprod: return Expr(ast::BigSymbol{U'\u2210'});
    case ast::BigOperatorKind::Bigcup: return Expr(ast::BigSymbol{U'\u22C3'});
    case ast::BigOperatorKind::Bigcap: return Expr(ast::BigSymbol{U'\u22C2'});
  }
  return Expr(ast::BigOperatorSymbol{U'\u2211'});
}

void normalize_node(Expr& e) {
  auto* op = e.get_if<ast::BigOperator>();
  if (op == nullptr) return;
  if (op->body) {
    ast::BigOperatorBody replacement{std::move(op->body), op->op};
    e = Expr(std::move(replacement));
  } else if (!op->lower && !op->upper) {
    e = Expr(ast::Group{ast::box(big_operator_sign(op->op))});
  }
}

}  // namespace

Expr normalize_definition_fallback_expr(Expr expr) {
  normalize_node(expr);
  SmallStack<Expr*> work(&expr);
  while (!work.empty()) {
    Expr* e = work.pop();
    if (auto* seq = e->get_if<ast::Sequence>()) {
      for (Expr& item : seq->items) {
        normalize_node(item);
        work.push(&item);
      }
    }
  }
  return expr;
}

}  // namespace quorvix::parser
