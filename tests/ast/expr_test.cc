#include "ast/expr.h"

#include <gtest/gtest.h>

namespace quorvix::ast {
namespace {

TEST(ExprTest, DeepChainCopiesAndDropsWithoutRecursion) {
  Expr e = make_char(U'x');
  for (int i = 0; i < 200000; ++i) e = Expr(Group{box(std::move(e))});
  Expr copy = e;
  e = Expr();
  int depth = 0;
  const Expr* cur = &copy;
  while (const auto* g = cur->get_if<Group>()) {
    cur = g->body.get();
    ++depth;
  }
  EXPECT_EQ(depth, 200000);
  ASSERT_TRUE(cur->is<Char>());
  EXPECT_EQ(cur->as<Char>().ch, U'x');
}

}  // namespace
}  // namespace quorvix::ast
