#include "qvf/writer/predicates.h"

#include <string_view>
#include <vector>

#include "common/small_stack.h"

namespace quorvix::qvf {

using namespace ast;

namespace {

bool hybrid_starts_raw(const Hybrid& h) {
  return !h.parts.empty() && std::holds_alternative<HybridRaw>(h.parts.front());
}

bool has_limit(const Box& lower, const Box& upper) { return lower || upper; }

bool is_accent_template_kind(AccentKind k) {
  return k == AccentKind::Acute || k == AccentKind::Grave || k == AccentKind::Check;
}

// A Style of level Text around a construct that has its own text-style form.
bool is_self_opening_text_style(const Expr& e) {
  const auto* st = e.get_if<Style>();
  if (st == nullptr || st->style != StyleKind::Text || !st->body) return false;
  const Expr& b = collapse_single_expr(*st->body);
  if (b.is<Fraction>()) return true;
  if (const auto* bin = b.get_if<Binomial>()) return bin->kind != BinomialKind::Pile;
  if (const auto* op = b.get_if<BigOperator>()) return !op->body && has_limit(op->lower, op->upper);
  return false;
}

bool is_two_part_function_name(const Expr& e) {
  const auto* f = e.get_if<FunctionName>();
  if (f == nullptr) return false;
  return f->name == "liminf" || f->name == "limsup" || f->name == "injlim" || f->name == "projlim";
}

// An arrow under (not pointing both ways) or a bar over or under, around the
// function name "lim".
bool is_decorated_lim(const Expr& e) {
  const Box* body = nullptr;
  if (const auto* a = e.get_if<ArrowAccent>()) {
    if (a->under && a->direction != ArrowDirection::Both) body = &a->body;
  } else if (const auto* o = e.get_if<OverUnderline>()) {
    body = &o->body;
  }
  if (body == nullptr || !*body) return false;
  const auto* f = collapse_single_expr(**body).get_if<FunctionName>();
  return f != nullptr && f->name == "lim";
}

bool is_line_layout_object(const Expr& n) {
  return n.is<Binomial>() || n.is<Stackrel>() || n.is<Underset>() || n.is<XArrow>() || n.is<Matrix>() ||
         n.is<Environment>();
}

bool is_side_script_integral(const Expr& n) {
  const auto* in = n.get_if<Integral>();
  return in != nullptr && !in->body;
}

// A script whose base is an empty sequence.
bool is_empty_base_script(const Expr& n) {
  const auto* s = n.get_if<Script>();
  if (s == nullptr || !s->base) return false;
  const auto* base = s->base->get_if<Sequence>();
  return base != nullptr && base->items.empty();
}

bool is_big_op_or_math_op(const Expr& e) { return e.is<BigOperator>() || e.is<MathOp>(); }

// The node reached through last items of non-empty sequences and Style bodies
// (and DefaultColor bodies when asked).
const Expr& descend_to_last(const Expr& e, bool through_default_color) {
  const Expr* cur = &e;
  for (;;) {
    if (const auto* s = cur->get_if<Sequence>(); s && !s->items.empty()) {
      cur = &s->items.back();
    } else if (const auto* st = cur->get_if<Style>(); st && st->body) {
      cur = st->body.get();
    } else if (const auto* d = cur->get_if<DefaultColor>(); through_default_color && d && d->body) {
      cur = d->body.get();
    } else {
      return *cur;
    }
  }
}

}  // namespace

// Tested with index checks rather than a visit: most nodes asked about are
// leaves, and this keeps the common "not a wrapper" answer to a few compares
// that inline into the descent loops.
const Expr* step_into(const Expr& e, unsigned mask) {
  if (const auto* s = e.get_if<Sequence>()) {
    if (s->items.empty()) return nullptr;
    if ((mask & through::kSequence) || ((mask & through::kOneItem) && s->items.size() == 1))
      return &s->items.front();
    return nullptr;
  }
  if (const auto* h = e.get_if<Hybrid>()) {
    if (!(mask & through::kHybrid) || h->parts.empty()) return nullptr;
    const auto* v = std::get_if<HybridVisible>(&h->parts.front());
    return v != nullptr ? v->expr.get() : nullptr;
  }
  if (const auto* st = e.get_if<Style>()) return (mask & through::kStyle) ? st->body.get() : nullptr;
  if (const auto* d = e.get_if<DefaultColor>())
    return (mask & through::kDefaultColor) ? d->body.get() : nullptr;
  if (const auto* g = e.get_if<Group>()) return (mask & through::kGroup) ? g->body.get() : nullptr;
  if (const auto* sc = e.get_if<Script>()) return (mask & through::kScriptBase) ? sc->base.get() : nullptr;
  if (const auto* f = e.get_if<Font>()) return (mask & through::kFont) ? f->body.get() : nullptr;
  return nullptr;
}

const Expr& descend(const Expr& e, unsigned mask) {
  const Expr* cur = &e;
  while (const Expr* next = step_into(*cur, mask)) cur = next;
  return *cur;
}

const Expr& collapse_single_expr(const Expr& e) { return descend(e, through::kOneItem); }

bool is_bodyless_limited_operator(const Expr& e) {
  if (const auto* op = e.get_if<BigOperator>()) return !op->body && has_limit(op->lower, op->upper);
  return is_math_op_with_limit(e);
}

bool is_math_op_with_limit(const Expr& e) {
  const auto* m = e.get_if<MathOp>();
  return m != nullptr && has_limit(m->lower, m->upper);
}

bool expr_starts_with_raw_tex(const Expr& e) {
  const Expr& n = descend(e, through::kUsual | through::kFont | through::kScriptBase);
  if (n.is<RawTex>() || n.is<Subarray>()) return true;
  const auto* h = n.get_if<Hybrid>();
  return h != nullptr && hybrid_starts_raw(*h);
}

bool expr_starts_with_line_layout_object(const Expr& e) {
  return is_line_layout_object(descend(e, through::kUsual));
}

bool expr_starts_with_self_opening(const Expr& e) {
  const Expr& first = descend(e, through::kUsual);
  if (is_line_layout_object(first)) return true;
  if (const auto* f = first.get_if<Font>();
      f && (f->font == FontKind::TypewriterText || f->font == FontKind::MathSf))
    return true;
  if (const auto* a = first.get_if<Accent>(); a && is_accent_template_kind(a->accent)) return true;
  if (const auto* s = first.get_if<Script>(); s && s->base && s->base->is<BigOperatorSymbol>()) return true;
  if (descend(e, through::kSequence | through::kHybrid).is<Color>()) return true;
  const unsigned with_default = through::kUsual | through::kDefaultColor;
  if (any_on_path(e, with_default, is_self_opening_text_style)) return true;
  const Expr& first_dc = descend(e, with_default);
  if (is_two_part_function_name(first_dc) || is_decorated_lim(first_dc)) return true;
  if (expr_starts_with_raw_tex(e)) return true;
  const Expr& lead = descend(e, through::kSequence | through::kStyle);
  return is_bodyless_limited_operator(lead) || is_side_script_integral(lead) ||
         is_empty_base_script(first_dc);
}

bool expr_starts_with_top_matrix(const Expr& e) {
  const Expr& n = descend(e, through::kUsual);
  if (n.is<Limit>() || n.is<Underset>() || n.is<Matrix>()) return true;
  if (const auto* env = n.get_if<Environment>()) return env->kind < EnvironmentKind::Gather;
  return is_math_op_with_limit(n);
}

bool expr_starts_with_top_fenced_matrix(const Expr& e) {
  const Expr& n = descend(e, through::kSequence | through::kStyle);
  if (const auto* m = n.get_if<Matrix>()) return m->kind > MatrixKind::Small;
  if (const auto* env = n.get_if<Environment>())
    return env->kind == EnvironmentKind::Cases || env->kind == EnvironmentKind::Rcases;
  return false;
}

bool expr_starts_with_parenthesized_pile(const Expr& e) {
  const auto* b = descend(e, through::kSequence | through::kStyle).get_if<Binomial>();
  return b != nullptr && b->kind == BinomialKind::Choose;
}

bool expr_starts_with_environment_fallback(const Expr& e) {
  const auto* env = descend(e, through::kSequence | through::kStyle).get_if<Environment>();
  if (env == nullptr) return false;
  return env->kind == EnvironmentKind::Split || env->kind == EnvironmentKind::Aligned ||
         env->kind == EnvironmentKind::Gather || env->kind == EnvironmentKind::Gathered;
}

bool expr_starts_with_slotless_big_op(const Expr& e) {
  const auto* op = descend(e, through::kSequence | through::kStyle).get_if<BigOperator>();
  return op != nullptr && !op->lower && !op->upper && !op->body;
}

bool expr_starts_with_bodyless_big_op_script(const Expr& e) {
  return is_bodyless_limited_operator(descend(e, through::kSequence | through::kStyle));
}

bool expr_starts_with_side_script_integral(const Expr& e) {
  return is_side_script_integral(descend(e, through::kSequence | through::kStyle));
}

bool expr_starts_with_standalone_big_glyph(const Expr& e) {
  const Expr& n = descend(e, through::kSequence | through::kGroup | through::kStyle);
  return n.is<BigSymbol>() || n.is<BigOperatorSymbol>();
}

bool expr_starts_with_empty_base_script(const Expr& e) {
  return is_empty_base_script(descend(e, through::kUsual | through::kDefaultColor));
}

bool expr_starts_with_empty_base_superscript(const Expr& e) { return expr_starts_with_empty_base_script(e); }

bool expr_ends_with_limit_like_template(const Expr& e) {
  const Expr& n = descend_to_last(e, /*through_default_color=*/false);
  if (n.is<Limit>()) return true;
  if (const auto* op = n.get_if<BigOperator>()) return !op->nolimits && has_limit(op->lower, op->upper);
  if (const auto* m = n.get_if<MathOp>()) return !m->nolimits;
  if (const auto* in = n.get_if<Integral>()) return !in->nolimits;
  return false;
}

bool expr_requires_explicit_sqrt_index_restore(const Expr& e) {
  const Expr& n = descend_to_last(e, /*through_default_color=*/false);
  if (is_big_op_or_math_op(n)) return true;
  const auto* f = n.get_if<Fraction>();
  if (f == nullptr || !f->denominator) return false;
  return is_big_op_or_math_op(descend_to_last(*f->denominator, /*through_default_color=*/true));
}

bool expr_contains_big_op(const Expr& e) {
  return any_in_subtree(e, [](const Expr& n) { return n.is<BigOperator>() || n.is<BigOperatorBody>(); });
}

bool expr_starts_plainly(const Expr& e) {
  const Expr* cur = &e;
  while (const auto* s = cur->get_if<Sequence>()) {
    if (s->items.empty()) return false;
    cur = &s->items.front();
  }
  return cur->is<Char>() || cur->is<CommandSymbol>();
}

bool expr_is_only_spaces(const Expr& e) {
  SmallStack<const Expr*> pending(&e);
  while (!pending.empty()) {
    const Expr* cur = pending.pop();
    if (cur->is<Space>()) continue;
    if (const auto* s = cur->get_if<Sequence>()) {
      if (s->items.empty()) return false;
      // A leaf other than a space settles it at once, before anything of a
      // long sequence is queued.
      for (const Expr& item : s->items) {
        if (item.is<Space>()) continue;
        if (!item.is<Sequence>() && !item.is<Style>()) return false;
        pending.push(&item);
      }
    } else if (const auto* st = cur->get_if<Style>(); st && st->body) {
      pending.push(st->body.get());
    } else {
      return false;
    }
  }
  return true;
}

LeadingSpaces leading_space_rest(const Expr& e) {
  if (e.is<Space>()) return {std::span<const Expr>(&e, 1), {}};
  const auto* s = e.get_if<Sequence>();
  if (s == nullptr) return {};
  std::size_t k = 0;
  while (k < s->items.size() && s->items[k].is<Space>()) ++k;
  std::span<const Expr> all(s->items);
  return {all.first(k), all.subspan(k)};
}

}  // namespace quorvix::qvf
