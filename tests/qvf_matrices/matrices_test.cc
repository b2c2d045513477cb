// Matrix and environment writers on hand-built trees: the MATRIX record in
// its three modes, the fences of the fenced matrices and of cases, arrays,
// the two alignment layouts, the environments written back as TeX, subarrays
// and stacked limits, and the row and column limits. Expected bytes are
// spelled out record by record.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "qvf/constructs/matrices.h"
#include "qvf_scripts/script_test_util.h"
#include "support/converted_stream.h"

namespace quorvix::qvf {
namespace {

using namespace test;
using ast::Expr;
using ast::ExprList;

const std::string kA = letter('a'), kB = letter('b'), kC = letter('c'), kD = letter('d'), kI = letter('i'),
                  kJ = letter('j'), kX = letter('x');
const std::string kRedDef = "10 00 E8 03 00 00 00 00";

std::string letters(const std::string& word) {
  std::string out;
  for (const char c : word) out += letter(c) + " ";
  return out;
}

using Case = WriteCase;
void run(const Case& c) { run_write_case(c); }

Expr matrix(ast::MatrixKind kind, ast::Rows rows) { return Expr(ast::Matrix{std::move(rows), kind}); }

Expr environment(ast::EnvironmentKind kind, ast::Rows rows, ast::EnvironmentTrivia trivia = {}) {
  return Expr(ast::Environment{std::move(rows), std::move(trivia), kind});
}

ast::EnvironmentTrivia array_spec(std::string columns, ast::TextList row_prefixes = {}) {
  ast::EnvironmentTrivia t;
  t.opening_raw = std::move(columns);
  t.row_leading_space = std::move(row_prefixes);
  return t;
}

ast::EnvironmentRowAnnotation tagged(Expr label) {
  ast::EnvironmentRowAnnotation a;
  a.label = ast::box(std::move(label));
  return a;
}

ast::EnvironmentRowAnnotation notag() {
  ast::EnvironmentRowAnnotation a;
  a.no_number_command = "\\notag";
  a.no_number = true;
  return a;
}

ast::EnvironmentTrivia annotated(ast::RowAnnotations annotations) {
  ast::EnvironmentTrivia t;
  t.row_annotations = std::move(annotations);
  return t;
}

Expr sub_one(Expr base) { return script(std::move(base), ch(U'1'), none()); }
// x_1 as a slot line at full size: it ends at subscript size.
std::string line_of_sub_one(const std::string& base) {
  return "01 00 0F 01 " + base + " 0F 00 03 00 1B 00 00 0B " + line_of(digit('1')) + " 01 01 00 00";
}

const std::string kParens = "02 00 96 28 00 02 00 96 29 00";

TEST(MatrixWriter, MatrixRecordAndFences) {
  using K = ast::MatrixKind;
  const Case cases[] = {
      {"2x2 matrix: COLOR 0 between cells after black",
       matrix(K::Plain, {{ch(U'a'), ch(U'b')}, {ch(U'c'), ch(U'd')}}), SizeLevel::Full,
       "05 00 01 01 01 02 02 00 00 " + line_of(kA) + " 0F 00 " + line_of(kB) + " 0F 00 " + line_of(kC) +
           " 0F 00 " + line_of(kD) + " 00",
       true, SizeLevel::Full},
      {"short row completed with an empty line", matrix(K::Plain, {{ch(U'a'), ch(U'b')}, {ch(U'c')}}),
       SizeLevel::Full,
       "05 00 01 01 01 02 02 00 00 " + line_of(kA) + " 0F 00 " + line_of(kB) + " 0F 00 " + line_of(kC) +
           " 0F 00 01 00 00 00",
       false, SizeLevel::Full},
      {"after a missing cell no COLOR 0", matrix(K::Plain, {{ch(U'a')}, {ch(U'b'), ch(U'c')}, {ch(U'd')}}),
       SizeLevel::Full,
       "05 00 01 01 01 03 02 00 00 " + line_of(kA) + " 0F 00 01 00 00 " + line_of(kB) + " 0F 00 " +
           line_of(kC) + " 0F 00 " + line_of(kD) + " 0F 00 01 00 00 00",
       false, SizeLevel::Full},
      {"empty cell: empty line, no COLOR 0 after it", matrix(K::Plain, {{seq({}), ch(U'b')}}),
       SizeLevel::Full, "05 00 01 01 01 01 02 00 00 01 00 00 " + line_of(kB) + " 00", true, SizeLevel::Full},
      {"a colour change asks for COLOR 0 though black is not in force",
       matrix(K::Plain, {{color("red", ch(U'a')), ch(U'b')}}), SizeLevel::Full,
       "05 00 01 01 01 01 02 00 00 01 00 " + kRedDef + " 0F 02 " + kA + " 00 0F 00 " + line_of(kB) + " 00",
       true, SizeLevel::Full},
      {"a cell left at another size is restored", matrix(K::Plain, {{sub_one(ch(U'x')), ch(U'b')}}),
       SizeLevel::Full, "05 00 01 01 01 01 02 00 00 " + line_of_sub_one(kX) + " 0A " + line_of(kB) + " 00",
       true, SizeLevel::Full},
      {"smallmatrix selects its size first", matrix(K::Small, {{ch(U'a')}}), SizeLevel::Subscript,
       "0B 05 00 01 01 01 01 01 00 00 " + line_of(kA) + " 00", true, SizeLevel::Subscript},
      {"a kind above the fenced ones is drawn like smallmatrix", matrix(K{7}, {{ch(U'a')}}), SizeLevel::Full,
       "0A 05 00 01 01 01 01 01 00 00 " + line_of(kA) + " 00", true, SizeLevel::Full},
      {"pmatrix: parentheses template around the slot line", matrix(K::Parens, {{ch(U'a')}}), SizeLevel::Full,
       "03 00 01 03 00 0F 00 01 00 05 00 01 01 01 01 01 00 00 " + line_of(kA) + " 00 00 " + kParens + " 00",
       true, SizeLevel::Full},
      {"fenced cells: COLOR 0 after each but the last",
       matrix(K::Brackets, {{ch(U'a'), ch(U'b')}, {ch(U'c')}}), SizeLevel::Full,
       "03 00 03 03 00 0F 00 01 00 05 00 01 01 01 02 02 00 00 " + line_of(kA) + " 0F 00 " + line_of(kB) +
           " 0F 00 " + line_of(kC) + " 0F 00 01 00 00 00 00 02 00 96 5B 00 02 00 96 5D 00 00",
       true, SizeLevel::Full},
      {"fenced: the last cell's size is undone after the slot line, then black",
       matrix(K::Bars, {{sub_one(ch(U'x'))}}), SizeLevel::Full,
       "03 00 04 03 00 0F 00 01 00 05 00 01 01 01 01 01 00 00 " + line_of_sub_one(kX) +
           " 00 00 0A 0F 01 02 00 96 07 EC 02 00 96 08 EC 00",
       true, SizeLevel::Full},
      {"fenced at the tree start selects black and clears the mark", matrix(K::DoubleBars, {{ch(U'a')}}),
       SizeLevel::Full,
       "0F 01 03 00 05 03 00 0F 00 01 00 05 00 01 01 01 01 01 00 00 " + line_of(kA) +
           " 00 00 02 00 96 09 EC 02 00 96 0A EC 00",
       true, SizeLevel::Full, [](QvfWriter& w) { w.tree_start.fenced_matrix_at_tree_start = true; },
       [](const QvfWriter& w) { EXPECT_FALSE(w.tree_start.fenced_matrix_at_tree_start); }},
      {"Bmatrix: braces", matrix(K::Braces, {{ch(U'a')}}), SizeLevel::Full,
       "03 00 02 03 00 0F 00 01 00 05 00 01 01 01 01 01 00 00 " + line_of(kA) +
           " 00 00 02 00 96 7B 00 02 00 96 7D 00 00",
       true, SizeLevel::Full},
  };
  for (const Case& c : cases) run(c);
}

TEST(MatrixWriter, ArraysAndCases) {
  using E = ast::EnvironmentKind;
  const Case cases[] = {
      {"array r: cells flush right", environment(E::Array, {{ch(U'a')}, {ch(U'b')}}, array_spec(" r ")),
       SizeLevel::Full, "05 00 01 02 01 02 01 00 00 " + line_of(kA) + " 0F 00 " + line_of(kB) + " 00", true,
       SizeLevel::Full},
      {"array rl: centred", environment(E::Array, {{ch(U'a'), ch(U'b')}}, array_spec("rl")), SizeLevel::Full,
       "05 00 01 01 01 01 02 00 00 " + line_of(kA) + " 0F 00 " + line_of(kB) + " 00", true, SizeLevel::Full},
      {"array row prefix opens the row's first cell as raw TeX",
       environment(E::Array, {{ch(U'a')}, {ch(U'b')}}, array_spec("c", {"", "\\hdashline"})), SizeLevel::Full,
       "05 00 01 01 01 02 01 00 00 " + line_of(kA) + " 0F 00 01 00 " +
           test_support::raw_text_records("\\hdashline") + "0F 01 " + kB + " 00 00",
       true, SizeLevel::Full},
      {"cases: left brace around a left-justified record", environment(E::Cases, {{ch(U'a'), ch(U'b')}}),
       SizeLevel::Full,
       "03 00 02 01 00 0F 00 01 00 05 00 01 00 01 01 02 00 00 " + line_of(kA) + " 0F 00 " + line_of(kB) +
           " 00 00 02 00 96 7B 00 00",
       true, SizeLevel::Full},
      {"rcases at the tree start: black, right brace", environment(E::Rcases, {{ch(U'a')}}), SizeLevel::Full,
       "0F 01 03 00 02 02 00 0F 00 01 00 05 00 01 00 01 01 01 00 00 " + line_of(kA) +
           " 00 00 02 00 96 7D 00 00",
       true, SizeLevel::Full, [](QvfWriter& w) { w.tree_start.fenced_matrix_at_tree_start = true; },
       [](const QvfWriter& w) { EXPECT_FALSE(w.tree_start.fenced_matrix_at_tree_start); }},
  };
  for (const Case& c : cases) run(c);
}

TEST(MatrixWriter, Alignments) {
  using E = ast::EnvironmentKind;
  const auto stream_closes = [](QvfWriter& w) { w.tree_start.alignment_closed_by_stream = true; };
  const auto mark_cleared = [](const QvfWriter& w) { EXPECT_FALSE(w.tree_start.alignment_closed_by_stream); };
  const std::string record = "01 00 05 00 01 00 01 02 02 00 00 " + line_of(kA) + " 0F 00 " + line_of(kB) +
                             " 0F 00 " + line_of(kC) + " 0F 00 01 00 00 00";
  const std::string rows = "04 00 01 01 01 00 0F 01 " + kA + " " + kB + " " +
                           test_support::raw_text_records("\\tag") + "0F 01 " + kX + " 00 0F 00 " +
                           line_of(kC);
  const Case cases[] = {
      {"one cell: black, then the cell alone", environment(E::Align, {{ch(U'a')}}), SizeLevel::Full,
       "0F 01 " + kA, true, SizeLevel::Full},
      {"one cell opening itself: no black", environment(E::Align, {{raw("\\q")}}), SizeLevel::Full,
       test_support::raw_text_records("\\q"), false, SizeLevel::Full},
      {"rows padded in a record inside a LINE, both closed",
       environment(E::Align, {{ch(U'a'), ch(U'b')}, {ch(U'c')}}), SizeLevel::Full, record + " 00", false,
       SizeLevel::Full},
      {"at the tree start the stream closes the LINE",
       environment(E::Align, {{ch(U'a'), ch(U'b')}, {ch(U'c')}}), SizeLevel::Full, record, false,
       SizeLevel::Full, stream_closes, mark_cleared},
      {"alignat, one cell: still a record", environment(E::Alignat, {{ch(U'a')}}), SizeLevel::Full,
       "01 00 05 00 01 00 01 01 01 00 00 " + line_of(kA) + " 00 00", true, SizeLevel::Full},
      {"numbered rows: one pile line per row, the label after \\tag",
       environment(E::Align, {{ch(U'a'), ch(U'b')}, {ch(U'c')}}, annotated({tagged(ch(U'x')), notag()})),
       SizeLevel::Full, rows + " 00", true, SizeLevel::Full},
      {"numbered rows at the tree start: the stream closes the PILE",
       environment(E::Alignat, {{ch(U'a'), ch(U'b')}, {ch(U'c')}}, annotated({tagged(ch(U'x')), notag()})),
       SizeLevel::Full, rows, true, SizeLevel::Full, stream_closes, mark_cleared},
      {"annotations without marks keep the record",
       environment(E::Align, {{ch(U'a'), ch(U'b')}, {ch(U'c')}}, annotated({{}, {}})), SizeLevel::Full,
       record + " 00", false, SizeLevel::Full},
  };
  for (const Case& c : cases) run(c);
}

TEST(MatrixWriter, WrittenBackAsTex) {
  using E = ast::EnvironmentKind;
  using test_support::raw_text_records;
  ast::EnvironmentTrivia spaced;
  spaced.row_leading_space = {" ", "\n"};
  spaced.cell_leading_space = {{" "}, {}};
  spaced.trailing_space = " ";
  const Case cases[] = {
      {"gather: \\begin, the name, cells with their whitespace and separators, \\end",
       environment(E::Gather, {{ch(U'a'), ch(U'b')}, {ch(U'c')}}, spaced), SizeLevel::Full,
       raw_text_records("\\begin") + "0F 01 " + letters("gather") + raw_text_records(" ") + "0F 00 0F 01 " +
           kA + " 0F 00 " + raw_text_records(" &") + "0F 01 " + kB + " " + raw_text_records("\\\\\n") +
           "0F 00 0F 01 " + kC + " " + raw_text_records(" \\end") + "0F 01 " + letters("gather"),
       true, SizeLevel::Full},
      {"split after an item keeps the opening raw text; a space cell without colour",
       environment(E::Split, {{space(2)}}, array_spec("%")), SizeLevel::Full,
       raw_text_records("%\\begin") + "0F 01 " + letters("split") + "0F 00 02 00 98 02 EF " +
           raw_text_records("\\end") + "0F 01 " + letters("split"),
       true, SizeLevel::Full, [](QvfWriter& w) { w.item.after_item = true; }},
      {"aligned: a cell left at another size is restored before \\end",
       environment(E::Aligned, {{sub_one(ch(U'x'))}}), SizeLevel::Full,
       raw_text_records("\\begin") + "0F 01 " + letters("aligned") + "0F 00 0F 01 " + kX +
           " 0F 00 03 00 1B 00 00 0B " + line_of(digit('1')) + " 01 01 00 0A " + raw_text_records("\\end") +
           "0F 01 " + letters("aligned"),
       true, SizeLevel::Full},
      {"subarray: raw TeX around its cells", Expr(ast::Subarray{"c", {{ch(U'a')}, {ch(U'b')}}}),
       SizeLevel::Full,
       raw_text_records("\\begin{subarray}{c}") + "0F 01 " + kA + " 0F 00 " + raw_text_records("\\\\") +
           "0F 01 " + kB + " 0F 00 " + raw_text_records("\\end{subarray}"),
       false, SizeLevel::Full},
  };
  for (const Case& c : cases) run(c);
}

// A big operator with a \substack limit is the failure text in a line, and
// a pile of the rows inside the cells of an environment written back as TeX.
TEST(MatrixWriter, StackedLimits) {
  const Expr sum =
      big_op(ast::BigOperatorKind::Sum, Expr(ast::Substack{{{ch(U'i')}, {ch(U'j')}}}), none(), none());
  QvfWriter outside = black_in_stream();
  const Written failed = write(sum, SizeLevel::Full, outside);
  ASSERT_TRUE(failed.ok) << failed.error;
  std::string failure;
  for (const char c : std::string(ast::kTranslationFailed))
    failure += "02 00 81 " + hex({static_cast<std::uint8_t>(c)}) + " 00 ";
  EXPECT_EQ(hex(failed.bytes), hex(hx(failure)));

  QvfWriter inside = black_in_stream();
  inside.substack_environment_mode = true;
  const Written pile = write(sum, SizeLevel::Full, inside);
  ASSERT_TRUE(pile.ok) << pile.error;
  EXPECT_EQ(hex(pile.bytes),
            hex(hx("03 00 16 50 00 01 01 0B 01 00 04 00 02 01 " + line_of(kI) + " 0F 00 " + line_of(kJ) +
                   " 00 00 01 01 0D 0F 00 01 00 0F 01 02 04 86 11 22 E5 00 00")));
}

TEST(MatrixWriter, RowAndColumnLimits) {
  const auto rows_of = [](std::size_t n, std::size_t cells) {
    return ast::Rows(n, ExprList(cells, ch(U'a')));
  };
  struct Limit {
    const char* name;
    Expr expr;
    const char* error;  // nullptr: written
  };
  const Limit limits[] = {
      {"255 rows", matrix(ast::MatrixKind::Plain, rows_of(255, 2)), nullptr},
      {"256 rows", matrix(ast::MatrixKind::Plain, rows_of(256, 2)), "matrix has too many rows"},
      {"255 columns", matrix(ast::MatrixKind::Plain, rows_of(1, 255)), nullptr},
      {"a row of 256 cells", matrix(ast::MatrixKind::Parens, rows_of(2, 256)), "matrix has too many columns"},
      {"256 rows of cases", environment(ast::EnvironmentKind::Cases, rows_of(256, 1)),
       "matrix has too many rows"},
      {"256 rows of an array", environment(ast::EnvironmentKind::Array, rows_of(256, 1)),
       "matrix has too many rows"},
  };
  for (const Limit& l : limits) {
    QvfWriter w = black_in_stream();
    const Written r = write(l.expr, SizeLevel::Full, w);
    if (l.error == nullptr) {
      ASSERT_TRUE(r.ok) << l.name << ": " << r.error;
      const auto& m = l.expr.as<ast::Matrix>();
      const std::size_t columns = m.rows.front().size();
      // Header bytes 5 and 6 count the rows and columns; the partitions follow.
      EXPECT_EQ(r.bytes[5], m.rows.size()) << l.name;
      EXPECT_EQ(r.bytes[6], columns) << l.name;
      const std::size_t partitions = (m.rows.size() + 4) / 4 + (columns + 4) / 4;
      EXPECT_EQ(r.bytes[7 + partitions], 0x01) << l.name << ": the first cell line follows the partitions";
    } else {
      EXPECT_FALSE(r.ok) << l.name;
      EXPECT_EQ(r.error, l.error) << l.name;
    }
  }
}

}  // namespace
}  // namespace quorvix::qvf
