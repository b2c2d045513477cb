// Destruction of expression trees without unbounded recursion and without a
// work list.
//
// The top levels of a tree are destroyed depth first by plain recursion,
// which costs one visit per node with children. Below a fixed depth, each
// subtree is taken apart by rotation instead, as follows.
//
// The node being destroyed, the top, keeps its first child as the link to the
// rest of the work. Its other children are handled from the last one back: a
// leaf is destroyed on the spot; a child with children of its own is rotated
// to the top. In a rotation the child's value takes the top's place, the old
// top is parked in the child's first-child slot, and the child's former first
// child moves into the slot the child left. When only the link is left, the
// top is replaced by it.
//
// The chain of first children from the top (the spine) grows by one node per
// rotation and shrinks by one per replacement, and a node on the spine never
// leaves it other than by being destroyed, so each node is rotated at most
// once: the work is linear in the size of the tree and the machine stack stays
// flat. Values only change places, which allocates nothing. Every child sits
// in a heap block (a box or a list's buffer), so its address survives the
// moves of the nodes around it.
#include <algorithm>
#include <array>
#include <tuple>
#include <utility>
#include <variant>

#include "ast/expr.h"

namespace quorvix::ast {

namespace {

// Whether a node of kind T can hold children at all. Most nodes of a tree are
// of the other kinds (characters, spaces, symbols, raw text), and telling
// them apart by their index alone spares their destruction a visit.
template <class T>
constexpr bool kind_may_have_children() {
  return std::tuple_size_v<decltype(detail::boxes_of(std::declval<T&>()))> > 0 ||
         std::is_same_v<T, Sequence> || std::is_same_v<T, Hybrid> || std::is_same_v<T, Substack> ||
         std::is_same_v<T, Subarray> || std::is_same_v<T, Matrix> || std::is_same_v<T, Environment>;
}

template <std::size_t... I>
constexpr std::array<bool, sizeof...(I)> make_kinds_with_children(std::index_sequence<I...>) {
  return {kind_may_have_children<std::variant_alternative_t<I, Node>>()...};
}

constexpr std::array<bool, std::variant_size_v<Node>> kKindMayHaveChildren =
    make_kinds_with_children(std::make_index_sequence<std::variant_size_v<Node>>());

template <class T, std::size_t I = 0>
constexpr std::size_t kind_index() {
  if constexpr (std::is_same_v<std::variant_alternative_t<I, Node>, T>) {
    return I;
  } else {
    return kind_index<T, I + 1>();
  }
}

static_assert(!kKindMayHaveChildren[kind_index<Char>()] && !kKindMayHaveChildren[kind_index<RawTex>()] &&
              kKindMayHaveChildren[kind_index<Sequence>()] && kKindMayHaveChildren[kind_index<Script>()] &&
              kKindMayHaveChildren[kind_index<Environment>()]);

// A node that is of a childless kind (or valueless) has no children.
bool childless_kind(const Node& node) noexcept {
  return node.valueless_by_exception() || !kKindMayHaveChildren[node.index()];
}

// Whether destroying or overwriting the node leaves nothing below it to take
// apart: a childless kind, or a sequence without items, which is what a
// default tree and a tree moved from hold.
bool nothing_below(const Node& node) noexcept {
  if (childless_kind(node)) return true;
  const auto* seq = std::get_if<Sequence>(&node);
  return seq != nullptr && seq->items.empty();
}

Expr* first_child(Node& node) noexcept;

bool is_leaf(Expr& e) noexcept { return childless_kind(e.node) || first_child(e.node) == nullptr; }

bool holds_visible(HybridPart& part) noexcept {
  auto* v = std::get_if<HybridVisible>(&part);
  return v != nullptr && v->expr;
}

// The first cell; leading empty rows are dropped so that later calls find it
// at once.
Expr* first_cell(Rows& rows) noexcept {
  rows.erase(rows.begin(),
             std::find_if(rows.begin(), rows.end(), [](const ExprList& row) { return !row.empty(); }));
  return rows.empty() ? nullptr : &rows.front().front();
}

// The first child in the order of for_each_child. Leading list entries without
// a child are dropped on the way.
Expr* first_child(Node& node) noexcept {
  if (node.valueless_by_exception()) return nullptr;
  return std::visit(
      [](auto& n) -> Expr* {
        using T = std::decay_t<decltype(n)>;
        if constexpr (std::is_same_v<T, Sequence>) {
          return n.items.empty() ? nullptr : &n.items.front();
        } else if constexpr (std::is_same_v<T, Hybrid>) {
          n.parts.erase(n.parts.begin(), std::find_if(n.parts.begin(), n.parts.end(), holds_visible));
          return n.parts.empty() ? nullptr : std::get<HybridVisible>(n.parts.front()).expr.get();
        } else if constexpr (std::is_same_v<T, Substack> || std::is_same_v<T, Subarray> ||
                             std::is_same_v<T, Matrix>) {
          return first_cell(n.rows);
        } else if constexpr (std::is_same_v<T, Environment>) {
          if (Expr* cell = first_cell(n.rows)) return cell;
          EnvironmentTrivia* trivia = n.trivia.get();
          if (trivia == nullptr) return nullptr;
          auto& notes = trivia->row_annotations;
          notes.erase(notes.begin(), std::find_if(notes.begin(), notes.end(),
                                                  [](const auto& a) { return static_cast<bool>(a.label); }));
          return notes.empty() ? nullptr : notes.front().label.get();
        } else {
          for (Box* b : detail::boxes_of(n))
            if (*b) return b->get();
          return nullptr;
        }
      },
      node);
}

// Pops trailing leaf cells and empty rows; returns the last cell when it has
// children, or null once only `link` (or nothing) is left.
Expr* last_inner_cell(Rows& rows, const Expr* link) noexcept {
  while (!rows.empty()) {
    ExprList& row = rows.back();
    if (row.empty()) {
      rows.pop_back();
      continue;
    }
    Expr& cell = row.back();
    if (&cell == link) return nullptr;
    if (!is_leaf(cell)) return &cell;
    row.pop_back();
  }
  return nullptr;
}

// Destroys the trailing leaf children of a top whose first child is `link`
// and returns the last remaining child other than `link`, which has children
// of its own; null when `link` is all that is left.
Expr* last_inner_child(Node& node, const Expr* link) noexcept {
  if (node.valueless_by_exception()) return nullptr;
  return std::visit(
      [link](auto& n) -> Expr* {
        using T = std::decay_t<decltype(n)>;
        if constexpr (std::is_same_v<T, Sequence>) {
          while (!n.items.empty()) {
            Expr& item = n.items.back();
            if (&item == link) return nullptr;
            if (!is_leaf(item)) return &item;
            n.items.pop_back();
          }
          return nullptr;
        } else if constexpr (std::is_same_v<T, Hybrid>) {
          while (!n.parts.empty()) {
            if (holds_visible(n.parts.back())) {
              Expr* e = std::get<HybridVisible>(n.parts.back()).expr.get();
              if (e == link) return nullptr;
              if (!is_leaf(*e)) return e;
            }
            n.parts.pop_back();
          }
          return nullptr;
        } else if constexpr (std::is_same_v<T, Substack> || std::is_same_v<T, Subarray> ||
                             std::is_same_v<T, Matrix>) {
          return last_inner_cell(n.rows, link);
        } else if constexpr (std::is_same_v<T, Environment>) {
          // Row labels come after the cells.
          if (EnvironmentTrivia* trivia = n.trivia.get()) {
            auto& notes = trivia->row_annotations;
            while (!notes.empty()) {
              Box& label = notes.back().label;
              if (label.get() == link) return nullptr;
              if (label && !is_leaf(*label)) return label.get();
              notes.pop_back();
            }
          }
          return last_inner_cell(n.rows, link);
        } else {
          auto slots = detail::boxes_of(n);
          for (auto it = slots.rbegin(); it != slots.rend(); ++it) {
            Box& b = **it;
            if (!b) continue;
            if (b.get() == link) return nullptr;
            if (!is_leaf(*b)) return b.get();
            b.reset();
          }
          return nullptr;
        }
      },
      node);
}

// The levels destroyed by recursion; a level takes a few hundred bytes of
// stack at most.
constexpr int kRecursiveReleaseDepth = 32;

// How many destructions of nodes with children are under way on this thread,
// one inside the other.
constinit thread_local int tl_destroy_depth = 0;

}  // namespace

Expr& Expr::operator=(Expr&& other) noexcept {
  if (this == &other) return *this;
  if (nothing_below(node)) {
    node = std::move(other.node);  // nothing below the old value to destroy
    return *this;
  }
  Node incoming = std::move(other.node);
  Expr old;
  old.node = std::move(node);  // destroyed when `old` goes
  node = std::move(incoming);
  return *this;
}

// The top levels go by the members' own destructors, each node's children
// destroyed from within its destructor; a node at the depth limit is torn
// down first, so that only leaves are left below it.
void Expr::destroy() noexcept {
  if (nothing_below(node)) {
    node.~Node();
    return;
  }
  int& depth = tl_destroy_depth;
  if (depth >= kRecursiveReleaseDepth) {
    tear_down();
    node.~Node();
    return;
  }
  ++depth;
  node.~Node();
  --depth;
}

void Expr::tear_down() noexcept {
  if (childless_kind(node)) return;
  for (;;) {
    Expr* link = first_child(node);
    if (link == nullptr) return;  // a leaf: the member destructors finish
    if (Expr* inner = last_inner_child(node, link)) {
      // Rotate `inner` to the top; the old top goes into inner's first-child
      // slot, and inner's former first child into the slot inner leaves.
      Expr* slot = first_child(inner->node);
      Node top = std::move(node);
      node = std::move(inner->node);
      inner->node = std::move(slot->node);
      slot->node = std::move(top);
      continue;
    }
    // Only the link is left.
    if (is_leaf(*link)) return;
    Node rest = std::move(link->node);
    node = std::move(rest);  // the old top holds nothing but leaves now
  }
}

}  // namespace quorvix::ast
