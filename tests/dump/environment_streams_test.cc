// Whole streams of matrices and environments on trees built directly: the
// bytes of a few typical ones spelled out record by record, and for every
// kind, wherever it stands, a stream the inspector follows to its closing
// END without a warning.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "decodes_everywhere.h"
#include "quorvix/qvf_inspect.h"
#include "qvf/stream/stream.h"
#include "support/bytes.h"
#include "support/converted_stream.h"
#include "support/default_definitions.h"
#include "support/respond.h"
#include "support/source_encoding.h"
#include "support/tree_builders.h"

namespace quorvix::tools {
namespace {

using namespace test_support;
using ast::EnvironmentKind;
using ast::Expr;
using ast::ExprList;
using ast::MatrixKind;

const std::string kBlackDef = "10 00 00 00 00 00 00 00";
const std::string kEquals = "02 04 86 3D 00 3D";

std::string letter(char c) {
  char buf[20];
  std::snprintf(buf, sizeof buf, "02 00 83 %02X 00", static_cast<unsigned char>(c));
  return buf;
}
std::string letters(const std::string& word) {
  std::string out;
  for (const char c : word) out += letter(c) + " ";
  return out;
}
std::string line_of(char c) { return "01 00 0F 01 " + letter(c) + " 00"; }

// Header, TeX source record and the default definitions.
std::string preamble(const std::string& tex) {
  char len[8];
  std::snprintf(len, sizeof len, "%02X", static_cast<unsigned>(20 + tex.size()));
  return std::string("05 01 00 07 08 \"QRVX7\" 00 01 66 ") + len + " \"TeX Input Language\" 00 \"" + tex +
         "\" 00 " + hex(default_definitions());
}

Result<Bytes> stream_of(const std::string& tex, const Expr& tree) {
  return qvf::write_qvf_with_prefs(tex, tree, std::nullopt);
}

Expr matrix(MatrixKind kind, ast::Rows rows) { return Expr(ast::Matrix{std::move(rows), kind}); }
Expr environment(EnvironmentKind kind, ast::Rows rows, ast::EnvironmentTrivia trivia = {}) {
  return Expr(ast::Environment{std::move(rows), std::move(trivia), kind});
}
ast::EnvironmentTrivia with_columns(std::string columns) {
  ast::EnvironmentTrivia t;
  t.opening_raw = std::move(columns);
  return t;
}
// Two rows, the first labelled by \tag{label}, the second marked \notag.
ast::EnvironmentTrivia tag_and_notag(Expr label) {
  ast::EnvironmentTrivia t;
  t.row_annotations.resize(2);
  t.row_annotations[0].label = ast::box(std::move(label));
  t.row_annotations[1].no_number_command = "\\notag";
  t.row_annotations[1].no_number = true;
  return t;
}

TEST(EnvironmentStreams, WholeStreams) {
  ScopedSourceEncoding utf8(nullptr);
  const std::string a = letter('a'), b = letter('b'), c = letter('c'), d = letter('d');
  struct StreamCase {
    const char* tex;
    Expr tree;
    std::string body;       // everything after the definitions
    bool from_text = true;  // the parser gives this tree for the text
  };
  ast::EnvironmentTrivia label_and_notag;
  label_and_notag.row_annotations.resize(2);
  label_and_notag.row_annotations[0].has_label = true;
  label_and_notag.row_annotations[1].no_number = true;
  label_and_notag.row_annotations[1].no_number_command = "\\notag";
  const std::string matrix_head =
      "0A 01 00 05 00 01 01 01 02 02 00 00 01 00 " + kBlackDef + " 0F 01 " + a + " 00 ";
  const StreamCase cases[] = {
      {"\\begin{matrix}a&b\\\\c&d\\end{matrix}",
       matrix(MatrixKind::Plain, {{ch(U'a'), ch(U'b')}, {ch(U'c'), ch(U'd')}}),
       matrix_head + "0F 00 " + line_of('b') + " 0F 00 " + line_of('c') + " 0F 00 " + line_of('d') +
           " 00 00 00"},
      {"\\begin{matrix}a&b\\\\c\\end{matrix}", matrix(MatrixKind::Plain, {{ch(U'a'), ch(U'b')}, {ch(U'c')}}),
       matrix_head + "0F 00 " + line_of('b') + " 0F 00 " + line_of('c') + " 0F 00 01 00 00 00 00 00"},
      {"\\begin{pmatrix}a\\end{pmatrix}", matrix(MatrixKind::Parens, {{ch(U'a')}}),
       "0A 01 00 " + kBlackDef + " 0F 01 03 00 01 03 00 0F 00 01 00 05 00 01 01 01 01 01 00 00 " +
           line_of('a') + " 00 00 02 00 96 28 00 02 00 96 29 00 00 00 00"},
      {"\\begin{array}{rl}a&b\\end{array}",
       environment(EnvironmentKind::Array, {{ch(U'a'), ch(U'b')}}, with_columns("rl")),
       "0A 01 00 05 00 01 01 01 01 02 00 00 01 00 " + kBlackDef + " 0F 01 " + a + " 00 0F 00 " +
           line_of('b') + " 00 00 00"},
      {"\\begin{pmatrix}a&b\\end{pmatrix}", matrix(MatrixKind::Parens, {{ch(U'a'), ch(U'b')}}),
       "0A 01 00 " + kBlackDef + " 0F 01 03 00 01 03 00 0F 00 01 00 05 00 01 01 01 01 02 00 00 " +
           line_of('a') + " 0F 00 " + line_of('b') + " 00 00 02 00 96 28 00 02 00 96 29 00 00 00 00"},
      {"\\begin{cases}a&b\\end{cases}", environment(EnvironmentKind::Cases, {{ch(U'a'), ch(U'b')}}),
       "0A 01 00 " + kBlackDef + " 0F 01 03 00 02 01 00 0F 00 01 00 05 00 01 00 01 01 02 00 00 " +
           line_of('a') + " 0F 00 " + line_of('b') + " 00 00 02 00 96 7B 00 00 00 00"},
      {"\\begin{align}a&=b\\tag{1}\\\\c&=d\\notag\\end{align}",
       environment(EnvironmentKind::Align,
                   {{ch(U'a'), seq({ch(U'='), ch(U'b')})}, {ch(U'c'), seq({ch(U'='), ch(U'd')})}},
                   tag_and_notag(ch(U'1'))),
       "0A 04 00 01 01 01 00 " + kBlackDef + " 0F 01 " + a + " " + kEquals + " " + b + " " +
           raw_text_records("\\tag") + "0F 01 02 00 88 31 00 00 0F 00 01 00 0F 01 " + c + " " + kEquals +
           " " + d + " 00 00 00",
       false},
      {"\\begin{align}a&=b\\label{x}\\\\c&=d\\notag\\end{align}",
       environment(EnvironmentKind::Align,
                   {{ch(U'a'), seq({ch(U'='), ch(U'b')})}, {ch(U'c'), seq({ch(U'='), ch(U'd')})}},
                   std::move(label_and_notag)),
       "0A 04 00 01 01 01 00 " + kBlackDef + " 0F 01 " + a + " " + kEquals + " " + b +
           " 00 0F 00 01 00 0F 01 " + c + " " + kEquals + " " + d + " 00 00 00"},
      {"\\begin{array}{r}a\\\\b\\end{array}",
       environment(EnvironmentKind::Array, {{ch(U'a')}, {ch(U'b')}}, with_columns("r")),
       "0A 01 00 05 00 01 02 01 02 01 00 00 01 00 " + kBlackDef + " 0F 01 " + a + " 00 0F 00 " +
           line_of('b') + " 00 00 00"},
      {"\\begin{gather}a\\\\b\\end{gather}", environment(EnvironmentKind::Gather, {{ch(U'a')}, {ch(U'b')}}),
       "0A 01 00 " + raw_text_records("\\begin") + kBlackDef + " 0F 01 " + letters("gather") +
           "0F 00 0F 01 " + a + " " + raw_text_records("\\\\") + "0F 00 0F 01 " + b + " " +
           raw_text_records("\\end") + "0F 01 " + letters("gather") + "00 00"},
  };
  for (const StreamCase& sc : cases) {
    const Result<Bytes> s = stream_of(sc.tex, sc.tree);
    ASSERT_TRUE(s.ok()) << sc.tex << ": " << s.error().message;
    EXPECT_EQ(hex(*s), hex(hx(preamble(sc.tex) + " " + sc.body))) << sc.tex;
    if (sc.from_text) {
      EXPECT_EQ(hex(converted_stream(sc.tex)), hex(*s)) << sc.tex;
    }
  }
}

// Every kind at the start of the tree, after another item and inside a
// fraction decodes to the closing END with nothing left over.
TEST(EnvironmentStreams, EveryKindDecodesCompletelyWhereverItStands) {
  ScopedSourceEncoding utf8(nullptr);
  const auto grid = [] { return ast::Rows{{ch(U'a'), ch(U'b')}, {ch(U'c')}}; };
  const auto sum_over_stack = [] {
    ast::BigOperator op;
    op.lower = ast::box(Expr(ast::Substack{{{ch(U'i')}, {ch(U'j')}}}));
    op.body = ast::box(ch(U'x'));
    return Expr(std::move(op));
  };
  std::vector<std::pair<std::string, std::function<Expr()>>> kinds;
  for (int k = 0; k <= 7; ++k) {
    kinds.emplace_back("matrix kind " + std::to_string(k), [=] { return matrix(MatrixKind(k), grid()); });
  }
  for (int k = 0; k <= 9; ++k) {
    kinds.emplace_back("environment kind " + std::to_string(k), [=] {
      return environment(EnvironmentKind(k), grid(), k == 0 ? with_columns("cc") : ast::EnvironmentTrivia{});
    });
  }
  kinds.emplace_back("numbered align",
                     [=] { return environment(EnvironmentKind::Align, grid(), tag_and_notag(ch(U'1'))); });
  kinds.emplace_back("numbered alignat",
                     [=] { return environment(EnvironmentKind::Alignat, grid(), tag_and_notag(ch(U'1'))); });
  kinds.emplace_back("one-cell align", [] { return environment(EnvironmentKind::Align, {{ch(U'a')}}); });
  kinds.emplace_back("smallmatrix in script style",
                     [=] { return style(ast::StyleKind::Script, matrix(MatrixKind::Small, grid())); });
  kinds.emplace_back("subarray", [] { return Expr(ast::Subarray{"c", {{ch(U'a')}, {ch(U'b')}}}); });
  kinds.emplace_back("gather with a stacked limit", [=] {
    return environment(EnvironmentKind::Gather, {{sum_over_stack()}, {ch(U'b')}});
  });

  const std::vector<std::pair<const char*, std::function<Expr(Expr)>>> places = {
      {"first", [](Expr e) { return e; }},
      {"after an item",
       [](Expr e) {
         return seq({ch(U'x'), std::move(e)});
       }},
      {"followed by an item",
       [](Expr e) {
         return seq({std::move(e), ch(U'y')});
       }},
      {"in a numerator",
       [](Expr e) {
         return Expr(ast::Fraction{ast::box(std::move(e)), ast::box(ch(U'z'))});
       }},
  };
  for (const auto& [kind, make] : kinds) {
    for (const auto& [place, put] : places) {
      const Result<Bytes> s = stream_of("x", put(make()));
      ASSERT_TRUE(s.ok()) << kind << ", " << place << ": " << s.error().message;
      const Listing listing = inspect_qvf(*s);
      EXPECT_TRUE(listing.complete) << kind << ", " << place << ": stopped at " << listing.error_offset
                                    << ": " << listing.error_reason;
      for (const ListingLine& l : listing.lines)
        EXPECT_NE(l.kind, LineKind::kWarning)
            << kind << ", " << place << " at " << l.offset << ": " << l.text;
    }
  }
}

// The same through the C entry, from the TeX text: every environment, grid
// and row stack (and an environment kept raw) wherever it stands.
TEST(EnvironmentStreams, EveryEnvironmentFromTheTextDecodesCompletely) {
  ScopedSourceEncoding utf8(nullptr);
  const char* const grids[] = {
      "\\begin{matrix}a&b\\\\c\\end{matrix}",
      "\\begin{pmatrix}a&b\\\\c\\end{pmatrix}",
      "\\begin{bmatrix}a\\end{bmatrix}",
      "\\begin{Bmatrix}a\\end{Bmatrix}",
      "\\begin{vmatrix}a\\end{vmatrix}",
      "\\begin{Vmatrix}a\\end{Vmatrix}",
      "\\begin{smallmatrix}a&b\\end{smallmatrix}",
      "\\begin{array}{cc}a&b\\\\ \\hdashline c\\end{array}",
      "\\begin{array}{r}a\\end{array}",
      "\\begin{align}a\\end{align}",
      "\\begin{align}a&=b\\\\c&=d\\end{align}",
      "\\begin{align}a&=b\\label{x}\\\\c&=d\\notag\\end{align}",
      "\\begin{align}a=b\\nonumber\\end{align}",
      "\\begin{alignat}{2}a&=b\\\\c&=d\\nonumber\\end{alignat}",
      "\\begin{split}a&=b\\\\c\\end{split}",
      "\\begin{aligned}a&=b\\\\c\\end{aligned}",
      "\\begin{cases}a&b\\\\c&d\\end{cases}",
      "\\begin{dcases}a\\end{dcases}",
      "\\begin{rcases}a&b\\end{rcases}",
      "\\begin{drcases}a\\end{drcases}",
      "\\begin{gather} a \\\\ b \\end{gather}",
      "\\begin{gathered}a\\\\b\\end{gathered}",
      "\\begin{gather}\\sum_{\\substack{i\\\\j}}x\\\\b\\end{gather}",
      "\\begin{subarray}{c}a\\\\b\\end{subarray}",
      "\\sum_{\\substack{i\\\\j}}x",
      "\\begin{equation}a\\end{equation}",
      "\\matrix{a&b\\cr c}",
      "\\cases{a&b\\\\c}",
      "\\begin{multline}a\\\\b\\end{multline}",
      "\\begin{pmatrix}a&b",
  };
  expect_decodes_everywhere(grids);
}

// The row limit from the text: 255 rows convert, 256 do not; beyond that
// only the size of the compound file refuses a matrix.
TEST(EnvironmentStreams, RowLimitFromTheText) {
  const auto matrix_text = [](std::size_t rows, const std::string& row) {
    std::string tex = "\\begin{pmatrix}";
    for (std::size_t r = 0; r < rows; ++r) tex += (r > 0 ? "\\\\" : "") + row;
    return tex + "\\end{pmatrix}";
  };
  const auto error_of = [](const std::string& tex) {
    const nlohmann::json response = nlohmann::json::parse(respond(nlohmann::json{{"latex", tex}}.dump()));
    return response.value("error", std::string());
  };
  EXPECT_TRUE(inspect_qvf(converted_stream(matrix_text(255, "a&b"))).complete);
  EXPECT_EQ(error_of(matrix_text(256, "a&b")), "matrix has too many rows");
  std::string wide = "\\frac11";
  for (int c = 1; c < 12; ++c) wide += "&\\frac11";
  EXPECT_EQ(error_of(matrix_text(255, wide)), "minimal CFB writer currently supports at most 128 sectors");
}

TEST(EnvironmentStreams, RowLimitThroughTheWholeStream) {
  const auto rows = [](std::size_t n) { return ast::Rows(n, ExprList{ch(U'a'), ch(U'b')}); };
  const Result<Bytes> fits = stream_of("x", matrix(MatrixKind::Parens, rows(255)));
  ASSERT_TRUE(fits.ok()) << fits.error().message;
  EXPECT_TRUE(inspect_qvf(*fits).complete);
  const Result<Bytes> too_many = stream_of("x", matrix(MatrixKind::Parens, rows(256)));
  ASSERT_FALSE(too_many.ok());
  EXPECT_EQ(too_many.error().message, "matrix has too many rows");
}

}  // namespace
}  // namespace quorvix::tools
