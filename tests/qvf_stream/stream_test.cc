// Whole equation streams, header through the final END, for trees built
// directly. Expected bytes are spelled out record by record.
#include "qvf/stream/stream.h"

#include <gtest/gtest.h>

#include <string>

#include "ast/nesting.h"
#include "qvf/stream/header.h"
#include "support/bytes.h"
#include "support/default_definitions.h"
#include "support/source_encoding.h"
#include "support/tree_builders.h"

namespace quorvix::qvf {
namespace {

using namespace test_support;
using ast::Expr;
using ast::ExprList;

const std::string kHeader = "05 01 00 07 08 \"QRVX7\" 00 01";
const std::string kPlaceholderHeader = "05 01 00 07 08 \"QRVX7\" 00 00";

const std::string kDefaultDefs = hex(default_definitions());

const std::string kBlackDef = "10 00 00 00 00 00 00 00";
const std::string kRedDef = "10 00 E8 03 00 00 00 00";

// The TeX source record for ASCII text.
std::string source_record(const std::string& tex) {
  char len[8];
  std::snprintf(len, sizeof len, "%02X", static_cast<unsigned>(20 + tex.size()));
  std::string quoted = tex.empty() ? "" : "\"" + tex + "\" ";
  return std::string("66 ") + len + " \"TeX Input Language\" 00 " + quoted + "00";
}

// Header, source record and definitions of an ordinary tree.
std::string preamble(const std::string& tex) {
  return kHeader + " " + source_record(tex) + " " + kDefaultDefs;
}

Bytes convert(std::string_view tex, const Expr& tree) {
  Result<Bytes> r = write_qvf_with_prefs(tex, tree, std::nullopt);
  EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error().message);
  return r.ok() ? *r : Bytes{};
}

TEST(QvfStream, DefinitionBlockIsTheDocumentedOne) { EXPECT_EQ(hx(kDefaultDefs).size(), 204u); }

struct StreamCase {
  const char* name;
  const char* tex;
  Expr tree;
  std::string body;  // everything after the definitions
};

TEST(QvfStream, WholeStreams) {
  ScopedSourceEncoding utf8(nullptr);
  const StreamCase cases[] = {
      {"empty expression", "", seq({}), "0A 00"},
      {"a+b=c", "a+b=c", seq({ch(U'a'), ch(U'+'), ch(U'b'), ch(U'='), ch(U'c')}),
       "0A 01 00 " + kBlackDef +
           " 0F 01 02 00 83 61 00 02 04 86 2B 00 2B 02 00 83 62 00 02 04 86 3D 00 3D "
           "02 00 83 63 00 00 00"},
      {"x'' - 1", "x''-1", seq({ch(U'x'), ch(U'\''), ch(U'\''), ch(U'-'), ch(U'1')}),
       "0A 01 00 " + kBlackDef + " 0F 01 02 01 83 78 00 06 00 06 00 02 04 86 12 22 2D 02 00 88 31 00 00 00"},
      {"leading space", "\\,x", seq({space(2), ch(U'x')}),
       "0A 01 00 02 00 98 02 EF " + kBlackDef + " 0F 01 02 00 83 78 00 00 00"},
      {"leading space inside a group", "{\\,x}y", seq({seq({space(2), ch(U'x')}), ch(U'y')}),
       "0A 01 00 02 00 98 02 EF " + kBlackDef + " 0F 01 02 00 83 78 00 02 00 83 79 00 00 00"},
      {"lone space", "\\,", space(2), "0A 01 00 02 00 98 02 EF 00 00"},
      {"spaces only", "\\,\\;", seq({space(1), space(3)}), "0A 01 00 02 00 98 01 EF 02 00 98 03 EF 00 00"},
      {"tree that starts with a colour", "\\color{red}{x}", color("red", ch(U'x')),
       "0A 01 00 " + kRedDef + " 0F 01 02 00 83 78 00 00 00"},
      {"text then colour", "\\text{ab}\\color{red}{y}", seq({text("ab"), color("red", ch(U'y'))}),
       "0A 01 00 " + kBlackDef + " 0F 01 02 00 81 61 00 02 00 81 62 00 " + kRedDef +
           " 0F 02 02 00 83 79 00 00 00"},
      {"Calvane Math One character first", "\\setminus", seq({ch(U'\u2216')}),
       "0A 01 00 13 \"CalvaneMath1\" 00 11 07 \"Calvane Math One\" 00 08 06 00 " + kBlackDef +
           " 0F 01 02 04 7F 16 22 82 00 00"},
      {"group first: symbol size", "\\big(y", seq({group(ch(U'x')), ch(U'y')}),
       "0A 01 00 0D " + kBlackDef + " 0F 01 02 00 83 78 00 0A 02 00 83 79 00 00 00"},
      {"big symbol first: symbol size", "\\bigoplus x", seq({Expr(ast::BigSymbol{U'\u2295'}), ch(U'x')}),
       "0A 01 00 0D " + kBlackDef + " 0F 01 02 04 86 95 22 C5 02 00 83 78 00 00 00"},
      {"script style first", "\\scriptstyle x", style(ast::StyleKind::Script, ch(U'x')),
       "0A 01 00 " + kBlackDef + " 0F 01 02 00 83 78 00 00 00"},
      {"liminf", "\\liminf", fn("liminf"),
       "0A 01 00 02 02 82 6C 00 02 00 82 69 00 02 00 82 6D 00 " + kBlackDef +
           " 0F 01 02 02 82 69 00 02 00 82 6E 00 02 00 82 66 00 00 00"},
  };
  for (const StreamCase& c : cases) {
    const Bytes got = convert(c.tex, c.tree);
    EXPECT_EQ(hex(got), hex(hx(preamble(c.tex) + " " + c.body))) << c.name;
  }
}

TEST(QvfStream, DisplayCloserAloneStoresEmptySource) {
  EXPECT_EQ(hex(convert("\\]", seq({}))), hex(hx(preamble("") + " 0A 00")));
  // Any other text is kept, even for an empty tree.
  EXPECT_EQ(hex(convert("\\[", seq({}))), hex(hx(preamble("\\[") + " 0A 00")));
}

TEST(QvfStream, PlaceholderHasOptionsZeroAndNoSourceRecord) {
  std::string failed;
  for (char c : std::string(ast::kTranslationFailed)) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "02 00 81 %02X 00 ", static_cast<unsigned char>(c));
    failed += buf;
  }
  const Bytes got = convert("\\frac{", seq({ast::make_translation_failed()}));
  EXPECT_EQ(hex(got), hex(hx(kPlaceholderHeader + " " + kDefaultDefs + " 0A 01 00 " + failed + "00 00")));
}

TEST(QvfStream, PlaceholderTest) {
  ast::Environment one_cell;
  one_cell.rows = {{ast::make_translation_failed()}};
  ast::Environment two_cells;
  two_cells.rows = {{ast::make_translation_failed(), ch(U'x')}};
  const struct {
    Expr tree;
    bool placeholder;
  } cases[] = {
      {ast::make_translation_failed(), true},
      {seq({seq({ast::make_translation_failed()})}), true},
      {style(ast::StyleKind::Display, seq({ast::make_translation_failed()})), true},
      {Expr(one_cell), true},
      {Expr(two_cells), false},
      {seq({ast::make_translation_failed(), ch(U'x')}), false},
      {text("(Tex translation failed) "), false},
      {raw("(Tex translation failed)"), false},
      {group(ast::make_translation_failed()), false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(expr_is_translation_failed_placeholder(cases[i].tree), cases[i].placeholder) << "case " << i;
}

TEST(QvfStream, BlackIsDefinedAtMostOnceAndStreamsEndWithTwoEnds) {
  const Expr trees[] = {
      seq({ch(U'x'), color("black", ch(U'y')), fn("liminf"), raw("\\a"), ch(U'z'), fn("limsup")}),
      seq({color("red", ch(U'x')), raw("\\a"), color("black", ch(U'y')), ch(U'z')}),
      seq({text("t"), space(1), space(2), ch(U'y'), group(ch(U'z'))}),
      seq({space(3), fn("injlim"), ch(U'x')}),
  };
  for (const Expr& tree : trees) {
    const Bytes got = convert("x", tree);
    ASSERT_GE(got.size(), 2u);
    EXPECT_LE(count_occurrences(got, hx(kBlackDef)), 1u) << hex(got);
    EXPECT_EQ(got[got.size() - 2], 0);
    EXPECT_EQ(got.back(), 0);
  }
}

TEST(QvfStream, FailuresEndTheConversion) {
  Expr deep = ch(U'x');
  for (int i = 0; i < 5000; ++i) {
    ExprList one;
    one.push_back(std::move(deep));
    deep = seq(std::move(one));
  }
  // Refused whether the caller knows no bound on the depth or one that lies
  // beyond the writer's; a bound that is wrong (400) is caught by the
  // writer's own limit on its recursion.
  const quorvix_ansi::SourceEncoding utf8 = quorvix_ansi::SourceEncoding::from_value(nullptr);
  for (const std::uint64_t depth_bound :
       {std::uint64_t{0}, std::uint64_t{5001}, std::uint64_t{401}, std::uint64_t{400}}) {
    Result<Bytes> nested = write_qvf_with_prefs("x", deep, std::nullopt, utf8, depth_bound);
    ASSERT_FALSE(nested.ok()) << depth_bound;
    EXPECT_EQ(nested.error().message, kNestedTooDeeply);
    EXPECT_TRUE(nested.error().fatal);
  }

  Result<Bytes> prefs = write_qvf_with_prefs("x", ch(U'x'), std::string("/nonexistent/prefs.eqp"));
  ASSERT_FALSE(prefs.ok());
  EXPECT_EQ(prefs.error().message.rfind("failed to read /nonexistent/prefs.eqp: ", 0), 0u)
      << prefs.error().message;

  ScopedSourceEncoding bad("latin1");
  Result<Bytes> enc = write_qvf_with_prefs("x", ch(U'x'), std::nullopt);
  ASSERT_FALSE(enc.ok());
  EXPECT_EQ(enc.error().message.rfind("unsupported QUORVIX_SOURCE_ENCODING value", 0), 0u);
}

}  // namespace
}  // namespace quorvix::qvf
