// Definitions and environment names shared with sub-parsers as scope chains:
// what each scope sees, and that recording or sharing copies nothing.
#include <gtest/gtest.h>

#include <string>

#include "allocation_count.h"
#include "common/internal_error.h"
#include "parse_test_util.h"
#include "parser/definitions.h"
#include "parser/environment_stack.h"

namespace quorvix::parser {
namespace {

using testing::allocation_counting_available;
using testing::thread_allocation_count;

// The replacement text of the macro visible as `name`, or "-".
std::string macro_seen(const DefinitionScope& scope, std::string_view name) {
  const MacroDefinition* d = scope.find_macro(name);
  return d == nullptr ? "-" : d->replacement + "/" + std::to_string(d->parameter_count);
}

std::string alias_seen(const DefinitionScope& scope, std::string_view name) {
  const std::string* a = scope.find_let_alias(name);
  return a == nullptr ? "-" : *a;
}

TEST(DefinitionScopeTest, InnerScopesSeeOuterDefinitionsAndKeepTheirOwn) {
  DefinitionScope top;
  top.define_macro("a", {"top a", 0});
  top.define_macro("b", {"top b", 1});
  top.set_let_alias("x", "alpha");

  DefinitionScope child(&top);
  child.define_macro("a", {"child a", 2});  // replaces a for the child only
  child.define_macro("c", {"child c", 0});
  child.hide_macro("b");
  child.set_let_alias("y", "beta");

  DefinitionScope empty_between(&child);  // records nothing: skipped in lookups
  DefinitionScope grandchild(&empty_between);
  grandchild.define_macro("b", {"grandchild b", 0});  // defined again below the hiding scope
  grandchild.hide_macro("zz");                        // not defined anywhere: nothing to hide

  const struct {
    const DefinitionScope* scope;
    const char* where;
    const char* a;
    const char* b;
    const char* c;
    const char* x;
    const char* y;
  } cases[] = {
      {&top, "top", "top a/0", "top b/1", "-", "alpha", "-"},
      {&child, "child", "child a/2", "-", "child c/0", "alpha", "beta"},
      {&empty_between, "empty", "child a/2", "-", "child c/0", "alpha", "beta"},
      {&grandchild, "grandchild", "child a/2", "grandchild b/0", "child c/0", "alpha", "beta"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(macro_seen(*c.scope, "a"), c.a) << c.where;
    EXPECT_EQ(macro_seen(*c.scope, "b"), c.b) << c.where;
    EXPECT_EQ(macro_seen(*c.scope, "c"), c.c) << c.where;
    EXPECT_EQ(macro_seen(*c.scope, "zz"), "-") << c.where;
    EXPECT_EQ(alias_seen(*c.scope, "x"), c.x) << c.where;
    EXPECT_EQ(alias_seen(*c.scope, "y"), c.y) << c.where;
  }

  // A later definition in the same scope replaces the earlier one, also
  // after hiding.
  child.define_macro("b", {"child b", 1});
  EXPECT_EQ(macro_seen(child, "b"), "child b/1");
  grandchild.hide_macro("a");
  EXPECT_EQ(macro_seen(grandchild, "a"), "-");
  EXPECT_EQ(macro_seen(child, "a"), "child a/2");
}

TEST(EnvironmentStackTest, InnerStacksSeeOuterNamesAndPopOnlyTheirOwn) {
  EnvironmentStack top;
  top.push("align");
  top.push("gather");
  EnvironmentStack empty_between(&top);
  EnvironmentStack inner(&empty_between);
  ASSERT_NE(inner.innermost(), nullptr);
  EXPECT_EQ(*inner.innermost(), "gather");
  EXPECT_EQ(inner.size(), 2u);
  EXPECT_EQ(inner.own_size(), 0u);

  inner.push("cases");
  EXPECT_EQ(*inner.innermost(), "cases");
  EXPECT_EQ(inner.size(), 3u);
  EXPECT_TRUE(inner.contains("align"));
  EXPECT_TRUE(inner.contains("cases"));
  EXPECT_FALSE(top.contains("cases"));
  EXPECT_FALSE(inner.contains("matrix"));

  inner.push("matrix");
  inner.truncate(1);
  EXPECT_EQ(*inner.innermost(), "cases");
  inner.pop();
  EXPECT_EQ(*inner.innermost(), "gather");
  // The enclosing names are not this stack's to pop or restore.
  EXPECT_THROW(inner.pop(), InternalError);
  EXPECT_THROW(inner.truncate(1), InternalError);
  EXPECT_EQ(top.size(), 2u);

  const EnvironmentStack none;
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.innermost(), nullptr);
}

TEST(ParserDefinitionsTest, SubParserHidingStaysInTheSubParser) {
  Parser p("");
  p.define_macro("f", {"x^#1", 1});
  p.set_let_alias("g", "alpha");
  EXPECT_EQ(testing::dump_result(p.parse_macro_replacement("a", "f")), "Seq[Char('a')]");
  ASSERT_NE(p.find_macro("f"), nullptr);
  EXPECT_EQ(p.find_macro("f")->replacement, "x^#1");
  ASSERT_NE(p.find_let_alias("g"), nullptr);
  EXPECT_EQ(*p.find_let_alias("g"), "alpha");
  p.remove_macro("f");
  EXPECT_EQ(p.find_macro("f"), nullptr);
}

// Allocations made by `run`.
template <class F>
std::uint64_t allocations_of(F&& run) {
  const std::uint64_t before = thread_allocation_count();
  run();
  return thread_allocation_count() - before;
}

std::string macro_name(int i) {
  std::string name = std::to_string(i);
  name.insert(name.begin(), 'm');
  return name;
}

// Recording a definition costs the same whatever was recorded before: at
// most a couple of allocations each (a copy of the whole table per
// definition would cost n * n / 2).
TEST(ParserDefinitionsTest, RecordingDefinitionsIsLinear) {
  if (!allocation_counting_available()) GTEST_SKIP() << "allocations are not counted in sanitised builds";
  for (const int n : {100, 1000, 4000}) {
    Parser p("");
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i) names.push_back(macro_name(i));
    const std::uint64_t used = allocations_of([&] {
      for (int i = 0; i < n; ++i) {
        p.define_macro(names[static_cast<std::size_t>(i)], {"x", 0});
        p.set_let_alias(names[static_cast<std::size_t>(i)], "y");
      }
    });
    EXPECT_LE(used, static_cast<std::uint64_t>(4 * n)) << n << " definitions";
    EXPECT_NE(p.find_macro(names.back()), nullptr);
  }
}

// A sub-parser does not copy what its parent has recorded: its cost does not
// depend on the number of definitions or open environments above it.
TEST(ParserDefinitionsTest, SubParsersCopyNoDefinitionsOrEnvironments) {
  if (!allocation_counting_available()) GTEST_SKIP() << "allocations are not counted in sanitised builds";
  auto sub_parse_cost = [](int definitions, int environments) {
    Parser p("");
    for (int i = 0; i < definitions; ++i) p.define_macro(macro_name(i), {"x", 0});
    for (int i = 0; i < environments; ++i) {
      // Longer than a short string, so that a copy would allocate.
      const std::string name(40, static_cast<char>('a' + i % 26));
      p.environment_stack().push(name);
      p.shell_stack().push(name);
    }
    return allocations_of([&] { EXPECT_TRUE(p.parse_macro_replacement("a").ok()); });
  };
  // The first parse on the thread also stocks the node pool.
  (void)sub_parse_cost(0, 0);
  const std::uint64_t bare = sub_parse_cost(0, 0);
  EXPECT_EQ(sub_parse_cost(2000, 0), bare);
  EXPECT_EQ(sub_parse_cost(0, 50), bare);
}

}  // namespace
}  // namespace quorvix::parser
