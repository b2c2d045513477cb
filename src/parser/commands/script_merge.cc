// merge_script and the other tree builders of the script parser.
#include <string>
#include <utility>
#include <vector>

#include "common/internal_error.h"
#include "parser/commands/scripts.h"
#include "parser/helpers.h"
#include "parser/raw_scripts.h"

namespace quorvix::parser {

using ast::Box;
using ast::Expr;
using ast::ExprList;

namespace {

// Fills the lower or upper slot, replacing what was there.
void fill_limit(Box& lower, Box& upper, bool is_sub, Box script) {
  (is_sub ? lower : upper) = std::move(script);
}

// \limits clears the flag that puts limits beside the sign, \nolimits sets it.
void apply_modifier(bool& nolimits, LimitModifier modifier) {
  if (modifier == LimitModifier::Limits) nolimits = false;
  if (modifier == LimitModifier::NoLimits) nolimits = true;
}

Expr generic_script(Expr&& base, Box sub, Box sup) {
  return Expr(ast::Script{ast::box(std::move(base)), std::move(sub), std::move(sup)});
}

bool is_limit_function_name(const Expr& e) {
  const auto* name = e.get_if<ast::FunctionName>();
  return name != nullptr && (name->name == "lim" || name->name == "sup");
}

Expr merge_into_big_operator(Expr&& base, bool is_sub, Box script, LimitModifier modifier) {
  auto& op = base.as<ast::BigOperator>();
  const bool bare = !op.body && !op.nolimits;
  if (bare && is_sub && op.lower && !op.upper)
    return repeated_bodyless_big_op_script_expr(op.op, '_', std::move(*op.lower), std::move(*script));
  if (bare && !is_sub && op.upper && !op.lower)
    return repeated_bodyless_big_op_script_expr(op.op, '^', std::move(*op.upper), std::move(*script));
  fill_limit(op.lower, op.upper, is_sub, std::move(script));
  apply_modifier(op.nolimits, modifier);
  return std::move(base);
}

Expr merge_into_integral_sign(const ast::IntegralSign& sign, bool is_sub, Box script,
                              LimitModifier modifier) {
  ast::Integral integral;
  integral.integral = sign.integral;
  integral.nolimits = modifier != LimitModifier::Limits;
  fill_limit(integral.lower, integral.upper, is_sub, std::move(script));
  return Expr(std::move(integral));
}

// The label slot of an over brace takes a superscript, that of an under
// brace a subscript.
bool brace_takes_label(const ast::Brace& brace, bool is_sub) {
  if (brace.label) return false;
  return (brace.kind == ast::BraceKind::Over && !is_sub) || (brace.kind == ast::BraceKind::Under && is_sub);
}

Expr merge_into_script(Expr&& base, bool is_sub, Box script) {
  auto& node = base.as<ast::Script>();
  Box& slot = is_sub ? node.sub : node.sup;
  if (!slot) {
    slot = std::move(script);
    return std::move(base);
  }
  // Both scripts of this kind stay: the old Script becomes the base.
  if (is_sub) return generic_script(std::move(base), std::move(script), nullptr);
  return generic_script(std::move(base), nullptr, std::move(script));
}

// A big operator sign on its own, as a bare operator is written in text.
Expr big_operator_sign(ast::BigOperatorKind kind) {
  switch (kind) {
    case ast::BigOperatorKind::Sum: return Expr(ast::BigOperatorSymbol{U'\u2211'});
    case ast::BigOperatorKind::Prod: return Expr(ast::BigSymbol{U'\u220F'});
    case ast::BigOperatorKind::Coprod: return Expr(ast::BigSymbol{U'\u2210'});
    case ast::BigOperatorKind::Bigcup: return Expr(ast::BigSymbol{U'\u22C3'});
    case ast::BigOperatorKind::Bigcap: return Expr(ast::BigSymbol{U'\u22C2'});
  }
  internal_failure("internal error: unknown big operator kind");
}

}  // namespace

Expr merge_script(Expr&& base, Box sub, Box sup, LimitModifier modifier) {
  const bool is_sub = static_cast<bool>(sub);
  if (is_sub == static_cast<bool>(sup))
    internal_failure("internal error: merge_script needs exactly one script");
  Box script = is_sub ? std::move(sub) : std::move(sup);
  if (ast::is_translation_failed_marker(*script) || ast::is_translation_failed_marker(base))
    return ast::make_translation_failed();

  if (is_limit_function_name(base) && modifier != LimitModifier::NoLimits) {
    ast::Limit limit;
    limit.name = base.as<ast::FunctionName>().name;
    fill_limit(limit.lower, limit.upper, is_sub, std::move(script));
    return Expr(std::move(limit));
  }
  if (base.is<ast::BigOperator>())
    return merge_into_big_operator(std::move(base), is_sub, std::move(script), modifier);
  if (const auto* sign = base.get_if<ast::IntegralSign>())
    return merge_into_integral_sign(*sign, is_sub, std::move(script), modifier);
  if (auto* n = base.get_if<ast::Integral>()) {
    fill_limit(n->lower, n->upper, is_sub, std::move(script));
    apply_modifier(n->nolimits, modifier);
    return std::move(base);
  }
  if (auto* n = base.get_if<ast::Limit>()) {
    fill_limit(n->lower, n->upper, is_sub, std::move(script));
    apply_modifier(n->nolimits, modifier);
    return std::move(base);
  }
  if (auto* n = base.get_if<ast::MathOp>()) {
    fill_limit(n->lower, n->upper, is_sub, std::move(script));
    apply_modifier(n->nolimits, modifier);
    return std::move(base);
  }
  if (auto* n = base.get_if<ast::Brace>(); n != nullptr && brace_takes_label(*n, is_sub)) {
    n->label = std::move(script);
    return std::move(base);
  }
  if (base.is<ast::Script>()) return merge_into_script(std::move(base), is_sub, std::move(script));
  if (is_sub) return generic_script(std::move(base), std::move(script), nullptr);
  return generic_script(std::move(base), nullptr, std::move(script));
}

Expr append_postfix_prime(Expr base) {
  if (auto* seq = base.get_if<ast::Sequence>()) {
    seq->items.push_back(ast::make_char(U'\''));
    return base;
  }
  if (auto* script = base.get_if<ast::Script>()) {
    if (!script->sup) {
      script->sup = ast::box(ast::make_sequence({}));
      script->sup->as<ast::Sequence>().items.push_back(ast::make_char(U'\''));
    } else if (auto* sup = script->sup->get_if<ast::Sequence>()) {
      sup->items.push_back(ast::make_char(U'\''));
    } else {
      ExprList items;
      items.push_back(std::move(*script->sup));
      items.push_back(ast::make_char(U'\''));
      script->sup = ast::box(ast::make_sequence(std::move(items)));
    }
    return base;
  }
  ExprList items;
  items.push_back(std::move(base));
  items.push_back(ast::make_char(U'\''));
  return ast::make_sequence(std::move(items));
}

Expr repeated_bodyless_big_op_script_expr(ast::BigOperatorKind kind, char marker, Expr old_limit,
                                          Expr script) {
  ExprList items;
  items.push_back(big_operator_sign(kind));
  items.push_back(ast::make_raw(std::string(1, marker)));
  push_visible_items(items, std::move(old_limit));
  items.push_back(ast::make_raw(std::string(1, marker)));
  push_visible_items(items, std::move(script));
  return ast::make_sequence(std::move(items));
}

Expr raw_limits_modifier_expr(Expr base, LimitModifier modifier) {
  return raw_script_suffix_expr(std::move(base), limit_modifier_command(modifier));
}

Expr empty_base_sub_script(Expr sub) {
  return Expr(ast::Script{ast::box(ast::make_sequence({})), ast::box(std::move(sub)), nullptr});
}

}  // namespace quorvix::parser
