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

namespace quorvix::ast {
namespace {

Expr seq2(Expr a, Expr b) {
  ExprList items;
  items.push_back(std::move(a));
  items.push_back(std::move(b));
  return make_sequence(std::move(items));
}

TEST(ExprTest, ContainsRawTexFollowsChildrenButNotTrivia) {
  std::vector<HybridPart> visible_only;
  visible_only.emplace_back(std::in_place_type<HybridVisible>, HybridVisible{box(make_char(U'a'))});
  EXPECT_FALSE(contains_raw_tex(Expr(Hybrid{std::move(visible_only)})));

  std::vector<HybridPart> with_space;
  with_space.emplace_back(std::in_place_type<HybridVisible>, HybridVisible{box(make_char(U'a'))});
  with_space.emplace_back(std::in_place_type<HybridRaw>, HybridRaw{" "});
  EXPECT_TRUE(contains_raw_tex(Expr(Hybrid{std::move(with_space)})));

  std::vector<HybridPart> nested;
  nested.emplace_back(std::in_place_type<HybridVisible>,
                      HybridVisible{box(seq2(make_char(U'a'), make_raw("\\x")))});
  EXPECT_TRUE(contains_raw_tex(Expr(Hybrid{std::move(nested)})));

  // Optional children are looked at when present.
  EXPECT_TRUE(contains_raw_tex(Expr(Script{box(make_char(U'x')), nullptr, box(make_raw("\\y"))})));
  EXPECT_FALSE(contains_raw_tex(Expr(Script{box(make_char(U'x')), nullptr, box(make_text("\\y"))})));
  EXPECT_TRUE(contains_raw_tex(Expr(Color{"red", box(make_raw("r"))})));
  EXPECT_FALSE(contains_raw_tex(Expr(Color{"\\raw", box(make_char(U'c'))})));

  // Cells count, the trivia (with its row labels) does not.
  Environment env;
  env.rows.push_back({});
  env.rows.back().push_back(make_char(U'a'));
  env.trivia.edit().opening_raw = "{cc}";
  env.trivia.edit().row_annotations.push_back(
      EnvironmentRowAnnotation{box(make_raw("\\tag")), "\\notag", true, true});
  EXPECT_FALSE(contains_raw_tex(Expr(env)));
  env.rows.back().push_back(make_raw("&"));
  EXPECT_TRUE(contains_raw_tex(Expr(std::move(env))));

  for (const Expr& leaf : {make_char(U'a'), make_text("\\x"), Expr(FunctionName{"sin"}), Expr(Empty{}),
                           Expr(IntegralSign{}), Expr(CommandSymbol{"prime", U'\u2032'})})
    EXPECT_FALSE(contains_raw_tex(leaf));
}

TEST(ExprTest, CollapseSingleSequence) {
  EXPECT_TRUE(collapse_single_sequence(make_sequence({})).as<Sequence>().items.empty());
  EXPECT_EQ(collapse_single_sequence(make_sequence({make_char(U'a')})).as<Char>().ch, U'a');
  EXPECT_EQ(collapse_single_sequence(seq2(make_char(U'a'), make_char(U'b'))).as<Sequence>().items.size(), 2u);
  // Only one level is removed.
  Expr nested = make_sequence({make_sequence({make_char(U'a')})});
  EXPECT_TRUE(collapse_single_sequence(std::move(nested)).is<Sequence>());
  EXPECT_TRUE(collapse_single_sequence(make_raw("x")).is<RawTex>());
}

// A sequence is empty by its items, whatever room its buffer keeps.
TEST(ExprTest, EmptySequencesAreThoseWithoutItems) {
  ExprList reserved;
  reserved.reserve(8);
  ExprList emptied;
  emptied.push_back(make_char(U'a'));
  emptied.clear();
  struct Case {
    const char* name;
    Expr expr;
    bool empty;
  };
  Case cases[] = {
      {"default", Expr(), true},
      {"with a reserved buffer", make_sequence(std::move(reserved)), true},
      {"emptied", make_sequence(std::move(emptied)), true},
      {"one item", make_sequence({make_char(U'a')}), false},
      {"not a sequence", make_char(U'a'), false},
  };
  for (const Case& c : cases) EXPECT_EQ(is_empty_sequence(c.expr), c.empty) << c.name;
}

TEST(ExprTest, CopiesAreIndependentOfTheSource) {
  Environment env;
  env.rows.push_back({});
  env.rows.back().push_back(make_raw("cell"));
  env.trivia.edit().row_annotations.push_back(
      EnvironmentRowAnnotation{box(make_raw("label")), std::nullopt, false, false});
  std::vector<HybridPart> parts;
  parts.emplace_back(std::in_place_type<HybridVisible>, HybridVisible{box(make_raw("visible"))});
  Expr source = seq2(Expr(std::move(env)), Expr(Hybrid{std::move(parts)}));
  Expr copy = source;

  auto& src_items = source.as<Sequence>().items;
  src_items[0].as<Environment>().rows[0][0].as<RawTex>().text = "changed";
  src_items[0].as<Environment>().trivia->row_annotations[0].label->as<RawTex>().text = "changed";
  std::get<HybridVisible>(src_items[1].as<Hybrid>().parts[0]).expr->as<RawTex>().text = "changed";
  source = Expr();

  const auto& items = copy.as<Sequence>().items;
  EXPECT_EQ(items[0].as<Environment>().rows[0][0].as<RawTex>().text, "cell");
  EXPECT_EQ(items[0].as<Environment>().trivia->row_annotations[0].label->as<RawTex>().text, "label");
  EXPECT_EQ(std::get<HybridVisible>(items[1].as<Hybrid>().parts[0]).expr->as<RawTex>().text, "visible");
}

TEST(ExprTest, FailureMarkerSeenThroughSingleSequencesAndStyles) {
  Expr wrapped =
      make_sequence({Expr(Style{box(make_sequence({make_translation_failed()})), StyleKind::Text})});
  EXPECT_TRUE(is_translation_failed_marker(wrapped));
  EXPECT_FALSE(is_translation_failed_marker(seq2(make_translation_failed(), make_char(U'a'))));
  EXPECT_FALSE(is_translation_failed_marker(Expr(Font{box(make_translation_failed()), FontKind::Bold})));
  EXPECT_FALSE(is_translation_failed_marker(make_raw(std::string(kTranslationFailed))));
}

}  // namespace
}  // namespace quorvix::ast
