// Destroying, moving over and copying trees: no recursion, no allocation on
// the way down, nothing left behind, and copies equal to their source.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "ast/counting_new.h"
#include "ast/dump.h"
#include "ast/expr.h"
#include "ast/node_pool.h"
#include "pathological/small_stack.h"

namespace quorvix::ast {
namespace {

Box leaf(char32_t c = U'x') { return box(make_char(c)); }

// Rows of cells given as row lengths; every cell is a leaf, except that
// `inner` (when given) is moved into the cell at (`row`, `column`).
Rows grid(std::initializer_list<std::size_t> lengths, std::optional<Expr> inner = std::nullopt,
          std::size_t row = 0, std::size_t column = 0) {
  Rows rows;
  for (std::size_t length : lengths) {
    rows.emplace_back();
    for (std::size_t i = 0; i < length; ++i) {
      if (inner && rows.size() - 1 == row && i == column) {
        rows.back().push_back(std::move(*inner));
        inner.reset();
      } else {
        rows.back().push_back(make_char(U'c'));
      }
    }
  }
  return rows;
}

ExprList items(Expr a, Expr b, Expr c) {
  ExprList out;
  out.push_back(std::move(a));
  out.push_back(std::move(b));
  out.push_back(std::move(c));
  return out;
}

// The number of ways `wrap` can put a child into a node.
constexpr std::size_t kWrapKinds = 33;

// A node of the `kind`-th kind with children, holding `inner` in its first
// child slot when `first` is set and in its last one otherwise; the other
// slots hold leaves, and list kinds also get entries without children.
Expr wrap(std::size_t kind, Expr inner, bool first) {
  Box in = box(std::move(inner));
  auto pair = [&](Box& a, Box& b) {
    if (first) {
      a = std::move(in);
      b = leaf();
    } else {
      a = leaf();
      b = std::move(in);
    }
  };
  switch (kind) {
    case 0: {
      Expr e = std::move(*in);
      return first ? make_sequence(items(std::move(e), make_char(U'a'), make_char(U'b')))
                   : make_sequence(items(make_char(U'a'), make_char(U'b'), std::move(e)));
    }
    case 1: return DefaultColor{std::move(in)};
    case 2: {
      std::vector<HybridPart> parts;
      parts.emplace_back(HybridRaw{"\\raw"});
      parts.emplace_back(HybridVisible{nullptr});
      if (first) {
        parts.emplace_back(HybridVisible{std::move(in)});
        parts.emplace_back(HybridVisible{leaf()});
      } else {
        parts.emplace_back(HybridVisible{leaf()});
        parts.emplace_back(HybridVisible{std::move(in)});
      }
      parts.emplace_back(HybridRaw{"}"});
      return Hybrid{std::move(parts)};
    }
    case 3: return Group{std::move(in)};
    case 4: return Color{"red", std::move(in)};
    case 5: return Style{std::move(in), StyleKind::Script};
    case 6: return Font{std::move(in), FontKind::MathBb};
    case 7: return Accent{std::move(in), AccentKind::Hat};
    case 8: return ArrowAccent{std::move(in), ArrowDirection::Both, true};
    case 9: return OverUnderline{std::move(in), true};
    case 10: return Strike{std::move(in), StrikeKind::Cancel};
    case 11: return Not{std::move(in)};
    case 12: {
      Fraction n;
      pair(n.numerator, n.denominator);
      return n;
    }
    case 13: return Sqrt{std::move(in)};
    case 14: {
      Root n;
      pair(n.index, n.radicand);
      return n;
    }
    case 15: {
      BigOperator n;  // no upper limit: a null slot between the two
      pair(n.lower, n.body);
      return n;
    }
    case 16: return BigOperatorBody{std::move(in), BigOperatorKind::Bigcap};
    case 17: {
      Limit n;
      n.name = "lim";
      pair(n.lower, n.upper);
      return n;
    }
    case 18: {
      MathOp n;
      pair(n.body, n.upper);
      return n;
    }
    case 19: {
      Integral n;
      pair(n.lower, n.upper);
      return n;
    }
    case 20: {
      Binomial n;
      n.kind = BinomialKind::Binom;
      pair(n.upper, n.lower);
      return n;
    }
    case 21: {
      Brace n;
      n.kind = BraceKind::Under;
      pair(n.body, n.label);
      return n;
    }
    case 22: {
      Stackrel n;
      pair(n.over, n.base);
      return n;
    }
    case 23: {
      Underset n;
      pair(n.under, n.base);
      return n;
    }
    case 24: {
      XArrow n;
      n.kind = XArrowKind::MapsTo;
      pair(n.over, n.under);
      return n;
    }
    case 25:
    case 26:
    case 27:
    case 28: {
      // Empty rows before, between and after the cells.
      Expr e = std::move(*in);
      Rows rows =
          first ? grid({0, 2, 0, 1, 0}, std::move(e), 1, 0) : grid({0, 1, 0, 2, 0}, std::move(e), 3, 1);
      if (kind == 25) return Substack{std::move(rows)};
      if (kind == 26) return Subarray{"cc", std::move(rows)};
      if (kind == 27) return Matrix{std::move(rows), MatrixKind::Bars};
      Environment env;
      env.rows = std::move(rows);
      env.kind = EnvironmentKind::Cases;
      env.trivia.edit().row_annotations.push_back(
          EnvironmentRowAnnotation{leaf(U't'), "\\notag", false, true});
      return env;
    }
    case 29: {
      // Only row labels: the first label is the first child.
      Environment env;
      env.rows = grid({0, 0});
      env.kind = EnvironmentKind::Align;
      auto& notes = env.trivia.edit().row_annotations;
      notes.push_back(EnvironmentRowAnnotation{nullptr, std::nullopt, true, false});
      if (first) {
        notes.push_back(EnvironmentRowAnnotation{std::move(in), std::nullopt, true, false});
        notes.push_back(EnvironmentRowAnnotation{leaf(), std::nullopt, false, false});
      } else {
        notes.push_back(EnvironmentRowAnnotation{leaf(), std::nullopt, false, false});
        notes.push_back(EnvironmentRowAnnotation{std::move(in), std::nullopt, true, false});
      }
      return env;
    }
    case 30: return Delimited{std::move(in), U'(', U']'};
    case 31: return OneSidedDelimited{std::move(in), U'{', DelimiterSide::Right};
    default: {
      Script n;
      n.base = first ? std::move(in) : leaf();
      n.sup = first ? leaf() : std::move(in);
      return n;
    }
  }
}

// Every kind with children, alternately holding the rest of the tree in its
// first and in its last child slot, `depth` levels deep.
Expr mixed_chain(std::size_t depth) {
  Expr e = make_char(U'z');
  for (std::size_t i = 0; i < depth; ++i) e = wrap(i % kWrapKinds, std::move(e), (i / kWrapKinds) % 2 == 0);
  return e;
}

Expr group_chain(std::size_t depth) {
  Expr e = make_char(U'x');
  for (std::size_t i = 0; i < depth; ++i) e = Expr(Group{box(std::move(e))});
  return e;
}

Expr sequence_chain(std::size_t depth) {
  Expr e = make_char(U'x');
  for (std::size_t i = 0; i < depth; ++i)
    e = make_sequence(items(make_char(U'a'), std::move(e), make_char(U'b')));
  return e;
}

// Both children of every fraction have children of their own.
Expr full_fractions(int levels) {
  if (levels == 0) return Expr(Group{leaf()});
  return Expr(Fraction{box(full_fractions(levels - 1)), box(full_fractions(levels - 1))});
}

Expr flat_chars(std::size_t n) {
  ExprList out(n, make_char(U'x'));
  return make_sequence(std::move(out));
}

// A long flat run whose items all have children (x_{1} repeated).
Expr flat_scripts(std::size_t n) {
  ExprList out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) out.push_back(Script{leaf(), box(Expr(Group{leaf(U'1')})), nullptr});
  return make_sequence(std::move(out));
}

struct TreeCase {
  const char* name;
  std::function<Expr()> build;
};

const TreeCase kTrees[] = {
    {"a leaf", [] { return make_text("leaf text long enough to live on the heap"); }},
    {"a sequence without items that keeps a buffer",
     [] {
       ExprList items;
       items.reserve(300);
       return make_sequence(std::move(items));
     }},
    {"a deep chain of groups", [] { return group_chain(200000); }},
    {"a deep chain of sequences", [] { return sequence_chain(100000); }},
    {"every kind, deep", [] { return mixed_chain(100000); }},
    {"a full binary tree of fractions", [] { return full_fractions(16); }},
    {"a million characters", [] { return flat_chars(1000000); }},
    {"two hundred thousand scripts", [] { return flat_scripts(200000); }},
};

// The blocks in use, not counting those the node pool keeps for reuse.
std::int64_t live_blocks_outside_pool() {
  node_pool::release_cached_blocks();
  return testing::live_blocks();
}

TEST(TeardownTest, DestroyingAllocatesNothingAndFreesEverything) {
  for (const TreeCase& c : kTrees) {
    const std::int64_t live_before = live_blocks_outside_pool();
    std::optional<Expr> tree(c.build());
    const std::uint64_t allocations = testing::allocations();
    tree.reset();
    EXPECT_EQ(testing::allocations(), allocations) << c.name;
    EXPECT_EQ(live_blocks_outside_pool(), live_before) << c.name;
  }
}

TEST(TeardownTest, MovingOverATreeAllocatesNothingAndFreesIt) {
  for (const TreeCase& c : kTrees) {
    const std::int64_t live_before = live_blocks_outside_pool();
    Expr tree = c.build();
    Expr small = make_char(U'y');
    const std::uint64_t allocations = testing::allocations();
    tree = std::move(small);
    EXPECT_EQ(testing::allocations(), allocations) << c.name;
    EXPECT_TRUE(tree.is<Char>()) << c.name;
    tree = Expr();
    EXPECT_EQ(live_blocks_outside_pool(), live_before) << c.name;
  }
}

TEST(TeardownTest, MovingADescendantOverItsAncestor) {
  Expr tree = mixed_chain(5000);
  const std::string inner_dump = dump(mixed_chain(4000));
  // Walk down the first children to the node 4000 levels above the bottom.
  Expr* cur = &tree;
  for (int i = 0; i < 1000; ++i) {
    Expr* next = nullptr;
    for_each_child(*cur, [&](Expr& c) {
      if (next == nullptr && has_children(c)) next = &c;
    });
    ASSERT_NE(next, nullptr);
    cur = next;
  }
  tree = std::move(*cur);
  EXPECT_EQ(dump(tree), inner_dump);
}

TEST(TeardownTest, DeepTreesAreDestroyedOnASmallStack) {
  std::optional<Expr> mixed(mixed_chain(100000));
  std::optional<Expr> groups(group_chain(100000));
  const std::size_t used = testing::run_with_stack(64 * 1024, [&] {
    mixed.reset();
    groups.reset();
  });
  EXPECT_FALSE(mixed.has_value());
  EXPECT_LT(used, 64u * 1024u);
}

// The kinds of all nodes in walk order, labels included, with each node's
// dump; equal for trees of the same shape and content.
std::string fingerprint(const Expr& root) {
  std::string out;
  std::vector<const Expr*> stack{&root};
  while (!stack.empty()) {
    const Expr* e = stack.back();
    stack.pop_back();
    out += std::to_string(e->node.index()) + ' ';
    if (!has_children(*e)) out += dump(*e);
    for_each_child(*e, [&](const Expr& c) { stack.push_back(&c); });
  }
  return out;
}

TEST(TeardownTest, CopiesOfEveryKindMatchTheirSource) {
  std::optional<Expr> source(mixed_chain(4 * kWrapKinds));
  const std::string expected = fingerprint(*source);
  const std::string expected_dump = dump(*source);
  Expr copy = *source;
  Expr assigned = make_char(U'q');
  assigned = *source;
  source.reset();
  EXPECT_EQ(fingerprint(copy), expected);
  EXPECT_EQ(dump(copy), expected_dump);
  EXPECT_EQ(fingerprint(assigned), expected);
}

TEST(TeardownTest, CopyingAFlatRunAllocatesOnlyItsBuffer) {
  const Expr run = flat_chars(10000);
  const std::uint64_t before = testing::allocations();
  const Expr copy = run;
  EXPECT_EQ(testing::allocations() - before, 1u);
  EXPECT_EQ(copy.as<Sequence>().items.size(), 10000u);
}

TEST(TeardownTest, HasChildren) {
  std::vector<HybridPart> raw_only;
  raw_only.emplace_back(HybridRaw{"\\a"});
  raw_only.emplace_back(HybridVisible{nullptr});
  Environment labels_only;
  labels_only.rows = grid({0});
  labels_only.trivia.edit().row_annotations.push_back(
      EnvironmentRowAnnotation{leaf(), std::nullopt, true, false});
  Environment trivia_without_labels;
  trivia_without_labels.trivia.edit().opening_raw = "{c}";
  const struct {
    Expr tree;
    bool expected;
  } cases[] = {
      {make_char(U'a'), false},
      {make_sequence({}), false},
      {make_sequence({make_char(U'a')}), true},
      {Hybrid{std::move(raw_only)}, false},
      {Matrix{grid({0, 0}), MatrixKind::Plain}, false},
      {Matrix{grid({0, 1}), MatrixKind::Plain}, true},
      {std::move(labels_only), true},
      {std::move(trivia_without_labels), false},
      {Script{}, false},
      {Script{nullptr, nullptr, leaf()}, true},
      {Integral{}, false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(has_children(cases[i].tree), cases[i].expected) << i;
}

TEST(OutOfLineTest, TriviaIsStoredOnlyWhenEdited) {
  Environment env;
  EXPECT_EQ(env.trivia.get(), nullptr);
  EXPECT_FALSE(env.trivia->opening_raw.has_value());
  EXPECT_TRUE(env.trivia->row_annotations.empty());

  const std::uint64_t before = testing::allocations();
  Environment copy = env;
  EXPECT_EQ(testing::allocations(), before);
  EXPECT_EQ(copy.trivia.get(), nullptr);

  env.trivia.edit().trailing_space = " ";
  ASSERT_NE(env.trivia.get(), nullptr);
  copy = env;
  env.trivia.edit().trailing_space = "\t";
  EXPECT_EQ(copy.trivia->trailing_space, " ");
  EXPECT_EQ(env.trivia->trailing_space, "\t");
}

}  // namespace
}  // namespace quorvix::ast
