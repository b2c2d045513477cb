// Whole equation streams for trees that start with, contain or end with a
// template: written from trees shaped as the parser builds them (group
// arguments are sequences), and converted from the TeX through the C entry.
// The stream start decides the colour preamble and the marks the first
// template reads, so these are whole streams.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "qvf/stream/stream.h"
#include "support/bytes.h"
#include "support/default_definitions.h"
#include "support/respond.h"
#include "support/source_encoding.h"
#include "support/tree_builders.h"

namespace quorvix::qvf {
namespace {

using namespace test_support;
using ast::Expr;

const std::string kDef = "10 00 00 00 00 00 00 00";
std::string letter(char c) { return "02 00 83 " + hex({static_cast<std::uint8_t>(c)}) + " 00"; }
std::string digit(char c) { return "02 00 88 " + hex({static_cast<std::uint8_t>(c)}) + " 00"; }
std::string line_of(const std::string& records) { return "01 00 0F 01 " + records + " 00"; }

// The stream up to and including the definitions, for an ASCII source text.
std::string stream_start(const std::string& tex) {
  const std::string len = hex({static_cast<std::uint8_t>(20 + tex.size())});
  return "05 01 00 07 08 \"QRVX7\" 00 01 66 " + len + " \"TeX Input Language\" 00 \"" + tex + "\" 00 " +
         hex(default_definitions());
}

Expr g(char32_t c) { return seq({ch(c)}); }  // a one-character group argument
Expr fraction(Expr num, Expr den) {
  return Expr(ast::Fraction{ast::box(std::move(num)), ast::box(std::move(den))});
}

// The QVF stream of a conversion through the C entry, decoded from the response.
Bytes converted_stream(const std::string& tex) {
  const nlohmann::json response = nlohmann::json::parse(respond(nlohmann::json{{"latex", tex}}.dump()));
  EXPECT_TRUE(response.contains("result")) << tex << ": " << response.dump();
  if (!response.contains("result")) return {};
  const std::string digits = response["result"]["qvf"];
  return hx(digits);
}

struct StreamCase {
  const char* tex;
  Expr tree;
  std::string body;  // everything after the definitions
};

TEST(TemplateStreams, WholeStreams) {
  ScopedSourceEncoding utf8(nullptr);
  const std::string a = letter('a'), b = letter('b'), f = letter('f'), k = letter('k'), n = letter('n'),
                    x = letter('x'), y = letter('y');
  const std::string one = digit('1'), two = digit('2'), three = digit('3');
  const std::string parens = "02 00 96 28 00 02 00 96 29 00";
  ast::Brace under;
  under.body = ast::box(g(U'x'));
  under.label = ast::box(ch(U'n'));
  under.kind = ast::BraceKind::Under;
  ast::Brace over;
  over.body = ast::box(g(U'x'));
  ast::XArrow arrow;
  arrow.over = ast::box(g(U'f'));
  arrow.kind = ast::XArrowKind::Right;

  const StreamCase cases[] = {
      {"\\frac{a}{b}", fraction(g(U'a'), g(U'b')),
       "0A 01 00 " + kDef + " 0F 01 03 00 0B 00 00 0F 00 " + line_of(a) + " 0F 00 " + line_of(b) +
           " 00 00 00"},
      {"\\sqrt{x}", Expr(ast::Sqrt{ast::box(g(U'x'))}),
       "0A 01 00 " + kDef + " 0F 01 03 00 0A 00 00 0F 00 " + line_of(x) + " 0B 01 01 00 00 00"},
      {"\\sqrt{}", Expr(ast::Sqrt{ast::box(seq({}))}),
       "0A 01 00 " + kDef + " 0F 01 03 00 0A 00 00 0F 00 01 00 00 0B 0F 01 01 01 00 00 00"},
      {"\\sqrt[3]{x}", Expr(ast::Root{ast::box(g(U'3')), ast::box(g(U'x'))}),
       "0A 01 00 " + kDef + " 0F 01 03 00 0A 01 00 0F 00 " + line_of(x) + " 0B 0F 00 " + line_of(three) +
           " 00 00 00"},
      {"\\overbrace{x}", Expr(std::move(over)),
       "0A 01 00 " + kDef + " 0F 01 03 00 18 01 00 0F 00 " + line_of(x) +
           " 0B 0F 00 01 00 00 0A 0F 01 02 00 96 37 FE 00 00 00"},
      {"\\underbrace{x}_{n}", Expr(std::move(under)),
       "0A 01 00 " + kDef + " 0F 01 03 00 18 00 00 0F 00 " + line_of(x) + " 0B 0F 00 " + line_of(n) +
           " 0A 02 00 96 38 FE 00 00 00"},
      // A line layout object: no preamble, the arrow selects black itself.
      {"\\xrightarrow{f}", Expr(std::move(arrow)),
       "0A 01 00 " + kDef + " 0F 01 03 00 0E 24 00 0B 0F 00 " + line_of(f) +
           " 01 01 0A 02 00 96 92 21 00 00 00"},
      // No preamble either: the binomial defines black inside its fence.
      {"\\binom{n}{k}", Expr(ast::Binomial{ast::box(g(U'n')), ast::box(g(U'k')), ast::BinomialKind::Binom}),
       "0A 01 00 03 00 01 03 00 " + kDef + " 0F 01 04 00 02 01 0F 00 " + line_of(n) + " 0F 00 " + line_of(k) +
           " 00 0F 00 " + parens + " 00 00 00"},
      // A stackrel that starts the tree writes no COLOR 0 in front of itself;
      // its base line brings the black definition.
      {"\\stackrel{a}{=}", Expr(ast::Stackrel{ast::box(g(U'a')), ast::box(g(U'='))}),
       "0A 01 00 03 00 17 20 00 01 00 " + kDef + " 0F 01 02 04 86 3D 00 3D 00 0B 0F 00 01 01 " + line_of(a) +
           " 00 00 00"},
      // A fraction in a superscript: the script's slot line is at subscript
      // size, and so are the fraction's own slots.
      {"x^{\\frac{a}{b}}", script(ch(U'x'), std::nullopt, fraction(g(U'a'), g(U'b'))),
       "0A 01 00 " + kDef + " 0F 01 " + x +
           " 0F 00 03 00 1C 00 00 0B 01 01 01 00 0F 01 03 00 0B 00 00 0F 00 " + line_of(a) + " 0F 00 " +
           line_of(b) + " 00 00 00 00 00"},
      // A text-style fraction after an item returns to full size before y.
      {"x\\tfrac{1}{2}y", seq({ch(U'x'), style(ast::StyleKind::Text, fraction(g(U'1'), g(U'2'))), ch(U'y')}),
       "0A 01 00 " + kDef + " 0F 01 " + x + " 0F 01 03 00 0B 01 00 0B 0F 00 " + line_of(one) + " 0F 00 " +
           line_of(two) + " 00 0A " + y + " 00 00"},
      // At the tree start it opens the stream itself and leaves the size to
      // its caller: no FULL before x.
      {"\\tfrac{1}{2}x", seq({style(ast::StyleKind::Text, fraction(g(U'1'), g(U'2'))), ch(U'x')}),
       "0A 01 00 " + kDef + " 0F 01 03 00 0B 01 00 0B 0F 00 " + line_of(one) + " 0F 00 " + line_of(two) +
           " 00 " + x + " 00 00"},
      // A parenthesized pile after an item: the sequence chose its colour.
      {"x{n \\choose k}",
       seq({ch(U'x'), Expr(ast::Binomial{ast::box(seq({ch(U'n')})), ast::box(seq({ch(U'k')})),
                                         ast::BinomialKind::Choose})}),
       "0A 01 00 " + kDef + " 0F 01 " + x + " 03 00 01 03 00 0F 00 04 00 02 01 " + line_of(n) + " 0F 00 " +
           line_of(k) + " 00 " + parens + " 00 00 00"},
  };
  for (const StreamCase& c : cases) {
    Result<Bytes> r = write_qvf_with_prefs(c.tex, c.tree, std::nullopt);
    ASSERT_TRUE(r.ok()) << c.tex << ": " << r.error().message;
    const std::string expected = hex(hx(stream_start(c.tex) + " " + c.body));
    EXPECT_EQ(hex(*r), expected) << c.tex;
    EXPECT_EQ(hex(converted_stream(c.tex)), expected) << c.tex << " through the C entry";
  }
}

}  // namespace
}  // namespace quorvix::qvf
