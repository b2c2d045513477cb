#include "ast/expr.h"

#include <vector>

namespace quorvix::ast {

namespace {

// While set, copying an Expr yields an empty placeholder instead of a deep
// copy; the iterative copy in Expr::copy_from fills the placeholders in.
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

template <class E>
void collect_children(E& e, std::vector<E*>& out) {
  out.clear();
  for_each_child(e, [&](E& c) { out.push_back(&c); });
}

}  // namespace

Box::Box(Expr e) : p_(std::make_unique<Expr>(std::move(e))) {}

Box::Box(const Box& other) : p_(other.p_ ? std::make_unique<Expr>(*other.p_) : nullptr) {}

Box& Box::operator=(const Box& other) {
  if (this != &other) {
    Box tmp(other);
    *this = std::move(tmp);
  }
  return *this;
}

Expr::Expr(const Expr& other) {
  if (tl_shallow_copy) return;
  copy_from(other);
}

void Expr::copy_from(const Expr& source) {
  ShallowCopyScope scope;
  node = source.node;
  std::vector<std::pair<const Expr*, Expr*>> work;
  std::vector<const Expr*> src_children;
  std::vector<Expr*> dst_children;
  auto push_pairs = [&](const Expr& s, Expr& d) {
    collect_children(s, src_children);
    collect_children(d, dst_children);
    for (std::size_t i = 0; i < src_children.size(); ++i)
      work.emplace_back(src_children[i], dst_children[i]);
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

Expr& Expr::operator=(Expr&& other) noexcept {
  if (this != &other) {
    Node incoming = std::move(other.node);
    Expr old;
    old.node = std::move(node);  // destroyed iteratively when `old` goes
    node = std::move(incoming);
  }
  return *this;
}

Expr::~Expr() {
  // Move every descendant into a flat work list so that no destructor call
  // recurses deeper than one level.
  std::vector<Expr> pending;
  for_each_child(*this, [&](Expr& c) { pending.push_back(std::move(c)); });
  while (!pending.empty()) {
    Expr e = std::move(pending.back());
    pending.pop_back();
    for_each_child(e, [&](Expr& c) { pending.push_back(std::move(c)); });
  }
}

Expr make_sequence(std::vector<Expr> items) { return Expr(Sequence{std::move(items)}); }

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

bool contains_raw_tex(const Expr& root) {
  std::vector<const Expr*> stack{&root};
  while (!stack.empty()) {
    const Expr* e = stack.back();
    stack.pop_back();
    if (e->is<RawTex>()) return true;
    if (const auto* h = e->get_if<Hybrid>()) {
      for (const auto& part : h->parts)
        if (std::holds_alternative<HybridRaw>(part)) return true;
    }
    for_each_child(*e, [&](const Expr& c) { stack.push_back(&c); }, /*with_trivia=*/false);
  }
  return false;
}

Expr collapse_single_sequence(Expr e) {
  if (auto* s = e.get_if<Sequence>(); s && s->items.size() == 1) {
    Expr only = std::move(s->items.front());
    return only;
  }
  return e;
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
