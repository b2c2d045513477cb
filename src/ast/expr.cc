#include "ast/expr.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "ast/node_pool.h"
#include "common/small_stack.h"

namespace quorvix::ast {

constinit thread_local std::uint64_t detail::tl_raw_leaves_made = 0;

namespace {

// While set, copying an Expr that has children yields an empty placeholder
// instead of a deep copy (leaves are copied whole); the iterative copy in
// Expr::copy_from fills the placeholders in.
thread_local bool tl_shallow_copy = false;

class ShallowCopyScope {
 public:
  ShallowCopyScope() : saved_(tl_shallow_copy) { tl_shallow_copy = true; }
  ~ShallowCopyScope() { tl_shallow_copy = saved_; }
  ShallowCopyScope(const ShallowCopyScope&) = delete;
  ShallowCopyScope& operator=(const ShallowCopyScope&) = delete;

 private:
  bool saved_;
};

// A copy of `e` in a block of the node pool; the block is given back if the
// copy throws.
template <class Source>
Expr* new_pooled_expr(Source&& e) {
  void* block = node_pool::allocate(sizeof(Expr));
  try {
    return new (block) Expr(std::forward<Source>(e));
  } catch (...) {
    node_pool::deallocate(block, sizeof(Expr));
    throw;
  }
}

}  // namespace

void Box::Release::operator()(Expr* e) const noexcept {
  e->~Expr();
  node_pool::deallocate(e, sizeof(Expr));
}

Box::Box(Expr&& e) : p_(new_pooled_expr(std::move(e))) {}

Box::Box(const Box& other) : p_(other.p_ ? new_pooled_expr(*other.p_) : nullptr) {}

Box& Box::operator=(const Box& other) {
  if (this != &other) {
    Box tmp(other);
    *this = std::move(tmp);
  }
  return *this;
}

Expr::Expr(const Expr& other) : node() {
  if (!tl_shallow_copy) {
    copy_from(other);
  } else if (!has_children(other)) {
    node = other.node;  // a leaf is copied whole, with no further work
  }
}

void Expr::copy_from(const Expr& source) {
  ShallowCopyScope scope;
  node = source.node;  // children arrive as copied leaves and empty placeholders
  if (!has_children(source)) return;
  // Pairs of (source, placeholder) still to fill, and the scratch list of the
  // current node's children that have children of their own.
  std::vector<std::pair<const Expr*, Expr*>> work;
  std::vector<std::pair<std::size_t, const Expr*>> inner;
  auto push_pairs = [&](const Expr& s, Expr& d) {
    inner.clear();
    std::size_t i = 0;
    for_each_child(s, [&](const Expr& c) {
      if (has_children(c)) inner.emplace_back(i, &c);
      ++i;
    });
    if (inner.empty()) return;
    std::size_t j = 0;
    std::size_t next = 0;
    for_each_child(d, [&](Expr& c) {
      if (next < inner.size() && inner[next].first == j) work.emplace_back(inner[next++].second, &c);
      ++j;
    });
  };
  push_pairs(source, *this);
  while (!work.empty()) {
    auto [s, d] = work.back();
    work.pop_back();
    d->node = s->node;
    push_pairs(*s, *d);
  }
}

Expr& Expr::operator=(const Expr& other) {
  if (this != &other) {
    Expr tmp(other);
    *this = std::move(tmp);
  }
  return *this;
}

Expr make_sequence(ExprList items) { return Expr(Sequence{std::move(items)}); }

const char* font_kind_name(FontKind k) {
  switch (k) {
    case FontKind::Bold: return "Bold";
    case FontKind::RomanText: return "RomanText";
    case FontKind::TypewriterText: return "TypewriterText";
    case FontKind::MathCal: return "MathCal";
    case FontKind::MathSf: return "MathSf";
    case FontKind::MathBb: return "MathBb";
    case FontKind::MathScr: return "MathScr";
    case FontKind::MathFrak: return "MathFrak";
  }
  return "?";
}

const char* accent_kind_name(AccentKind k) {
  switch (k) {
    case AccentKind::Bar: return "Bar";
    case AccentKind::Hat: return "Hat";
    case AccentKind::WideHat: return "WideHat";
    case AccentKind::Breve: return "Breve";
    case AccentKind::Dot: return "Dot";
    case AccentKind::Ddot: return "Ddot";
    case AccentKind::Dddot: return "Dddot";
    case AccentKind::Ddddot: return "Ddddot";
    case AccentKind::Tilde: return "Tilde";
    case AccentKind::Utilde: return "Utilde";
    case AccentKind::Acute: return "Acute";
    case AccentKind::Grave: return "Grave";
    case AccentKind::Check: return "Check";
  }
  return "?";
}

bool has_children(const Expr& e) {
  return std::visit(
      [](const auto& n) {
        using T = std::decay_t<decltype(n)>;
        if constexpr (std::is_same_v<T, Sequence>) {
          return !n.items.empty();
        } else if constexpr (std::is_same_v<T, Hybrid>) {
          return std::any_of(n.parts.begin(), n.parts.end(), [](const HybridPart& part) {
            const auto* v = std::get_if<HybridVisible>(&part);
            return v != nullptr && v->expr;
          });
        } else if constexpr (std::is_same_v<T, Substack> || std::is_same_v<T, Subarray> ||
                             std::is_same_v<T, Matrix> || std::is_same_v<T, Environment>) {
          const bool cells =
              std::any_of(n.rows.begin(), n.rows.end(), [](const auto& row) { return !row.empty(); });
          if constexpr (std::is_same_v<T, Environment>) {
            if (cells || n.trivia.get() == nullptr) return cells;
            const auto& notes = n.trivia->row_annotations;
            return std::any_of(notes.begin(), notes.end(),
                               [](const EnvironmentRowAnnotation& a) { return static_cast<bool>(a.label); });
          } else {
            return cells;
          }
        } else {
          const auto slots = detail::boxes_of(n);
          return std::any_of(slots.begin(), slots.end(), [](const Box* b) { return static_cast<bool>(*b); });
        }
      },
      e.node);
}

bool contains_raw_tex(const Expr& root) {
  SmallStack<const Expr*> stack(&root);
  while (!stack.empty()) {
    const Expr* e = stack.pop();
    if (e->is<RawTex>()) return true;
    if (const auto* h = e->get_if<Hybrid>()) {
      for (const auto& part : h->parts)
        if (std::holds_alternative<HybridRaw>(part)) return true;
    }
    for_each_child(
        *e, [&](const Expr& c) { stack.push(&c); }, /*with_trivia=*/false);
  }
  return false;
}

Expr collapse_single_sequence(Expr&& e) {
  if (auto* s = e.get_if<Sequence>(); s && s->items.size() == 1) {
    Expr only = std::move(s->items.front());
    return only;
  }
  return std::move(e);
}

bool is_failure_text(const Expr& e) {
  const auto* t = e.get_if<TextRun>();
  return t && t->text == kTranslationFailed;
}

bool is_translation_failed_marker(const Expr& e) {
  const Expr* cur = &e;
  for (;;) {
    if (const auto* s = cur->get_if<Sequence>(); s && s->items.size() == 1) {
      cur = &s->items.front();
    } else if (const auto* st = cur->get_if<Style>(); st && st->body) {
      cur = st->body.get();
    } else {
      return is_failure_text(*cur);
    }
  }
}

Expr make_translation_failed() { return make_text(std::string(kTranslationFailed)); }

}  // namespace quorvix::ast
