// Environments, row stacks and plain-TeX grids: the trees they give, the
// whitespace and numbering marks kept beside the rows, and the fall back to
// raw TeX when a body cannot be read.
#include <gtest/gtest.h>

#include <string>

#include "ast/dump.h"
#include "parser/parse_test_util.h"

namespace quorvix::parser {
namespace {

using testing::expect_parses;

// The raw \begin or \end of an environment kept raw, with its name shown.
std::string spelled(const std::string& command, const std::string& name) {
  std::string out = "Seq[Raw(\"\\\\" + command + "\"), Seq[";
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (i > 0) out += ", ";
    out += "Char('" + name.substr(i, 1) + "')";
  }
  return out + "]]";
}

TEST(EnvironmentsTest, SupportedNames) {
  expect_parses({
      {"\\begin{pmatrix}a&b\\\\c&d\\end{pmatrix}",
       "Seq[Matrix(2)[[Seq[Char('a')], Seq[Char('b')]], [Seq[Char('c')], Seq[Char('d')]]]]"},
      {"\\begin{matrix}a\\end{matrix}", "Seq[Matrix(0)[[Seq[Char('a')]]]]"},
      {"\\begin{bmatrix}a\\end{bmatrix}", "Seq[Matrix(3)[[Seq[Char('a')]]]]"},
      {"\\begin{Bmatrix}a\\end{Bmatrix}", "Seq[Matrix(4)[[Seq[Char('a')]]]]"},
      {"\\begin{vmatrix}a\\end{vmatrix}", "Seq[Matrix(5)[[Seq[Char('a')]]]]"},
      {"\\begin{Vmatrix}a\\end{Vmatrix}", "Seq[Matrix(6)[[Seq[Char('a')]]]]"},
      {"\\begin{smallmatrix}a\\end{smallmatrix}", "Seq[Style(Script, Matrix(1)[[Seq[Char('a')]]])]"},
      {"\\begin{split}a\\end{split}", "Seq[Environment(2)[[Seq[Char('a')]]]]"},
      {"\\begin{aligned}a\\end{aligned}", "Seq[Environment(3)[[Seq[Char('a')]]]]"},
      {"\\begin{cases}a&b\\end{cases}", "Seq[Environment(6)[[Seq[Char('a')], Seq[Char('b')]]]]"},
      {"\\begin{dcases}a\\end{dcases}", "Seq[Environment(6)[[Seq[Char('a')]]]]"},
      {"\\begin{rcases}a\\end{rcases}", "Seq[Environment(7)[[Seq[Char('a')]]]]"},
      {"\\begin{drcases}a\\end{drcases}", "Seq[Environment(7)[[Seq[Char('a')]]]]"},
      {"\\begin{gather}a\\\\b\\end{gather}", "Seq[Environment(8)[[Seq[Char('a')]], [Seq[Char('b')]]]]"},
      {"\\begin{gathered}a\\end{gathered}", "Seq[Environment(9)[[Seq[Char('a')]]]]"},
      // The column count of alignat is not kept.
      {"\\begin{alignat}{2}a&=b\\end{alignat}",
       "Seq[Environment(4)[[Seq[Char('a')], Seq[Char('='), Char('b')]]]]"},
      {"\\begin{subarray}{c}a\\\\b\\end{subarray}",
       "Seq[Subarray(\"c\")[[Seq[Char('a')]], [Seq[Char('b')]]]]"},
      {"\\begin{equation}a+b\\end{equation}", "Seq[Seq[Char('a'), Char('+'), Char('b')]]"},
      // A star is accepted on the matrices, with its option dropped.
      {"\\begin{pmatrix*}[r]a\\end{pmatrix*}", "Seq[Matrix(2)[[Seq[Char('a')]]]]"},
      {"\\begin{matrix*}a\\end{matrix*}", "Seq[Matrix(0)[[Seq[Char('a')]]]]"},
      // A row break before \end opens no row; empty cells stay.
      {"\\begin{matrix}a\\\\\\end{matrix}", "Seq[Matrix(0)[[Seq[Char('a')]]]]"},
      {"\\begin{matrix}&\\\\\\end{matrix}", "Seq[Matrix(0)[[Seq[], Seq[]]]]"},
      {"\\begin{matrix}\\end{matrix}", "Seq[Matrix(0)[]]"},
      // \over builds a fraction inside a cell.
      {"\\begin{matrix}a\\over b&c\\end{matrix}",
       "Seq[Matrix(0)[[Frac(Seq[Char('a')], Seq[Char('b')]), Seq[Char('c')]]]]"},
      // Environments nest in cells, and \end{name} may be spaced.
      {"\\begin{matrix}\\begin{pmatrix}a\\end{pmatrix}\\end {matrix}",
       "Seq[Matrix(0)[[Seq[Matrix(2)[[Seq[Char('a')]]]]]]]"},
      // The failure marker is the whole cell.
      {"\\begin{matrix}a\\eqref{x}&b\\end{matrix}",
       "Seq[Matrix(0)[[Text(\"(Tex translation failed)\"), Seq[Char('b')]]]]"},
  });
}

TEST(EnvironmentsTest, BodiesThatCannotBeReadStayRaw) {
  const std::string pm_begin = spelled("begin", "pmatrix");
  expect_parses({
      {"\\begin{pmatrix}a&b", "Seq[Seq[" + pm_begin + ", Char('a'), Raw(\"&\"), Char('b')]]"},
      {"\\begin{pmatrix}a\\end{bmatrix}",
       "Seq[Seq[" + pm_begin + ", Char('a'), " + spelled("end", "bmatrix") + "]]"},
      {"\\begin{matrix}a\\\\b\\end{pmatrix}c\\end{matrix}",
       "Seq[Seq[" + spelled("begin", "matrix") + ", Char('a'), Char('b'), " + spelled("end", "pmatrix") +
           ", Char('c'), " + spelled("end", "matrix") + "]]"},
      // Stars that are not accepted, and the starred equation.
      {"\\begin{align*}a\\end{align*}",
       "Seq[Seq[" + spelled("begin", "align*") + ", Char('a'), " + spelled("end", "align*") + "]]"},
      {"\\begin{equation*}a\\end{equation*}",
       "Seq[Seq[" + spelled("begin", "equation*") + ", Char('a'), " + spelled("end", "equation*") + "]]"},
      // A failed array keeps its \begin braced; its text is read again after it.
      {"\\begin{array}{c}a", "Seq[Seq[Raw(\"\\\\begin{array}\"), Seq[Char('c')], Char('a')]]"},
      // A name that is a command.
      {"\\begin{\\foo}a\\end{\\foo}",
       "Seq[Seq[Raw(\"\\\\begin\\\\foo\"), Char('a'), Raw(\"\\\\end\\\\foo\")]]"},
      // An unfinished pmatrix inside a raw environment stops at that one's \end.
      {"\\begin{x}\\begin{pmatrix}a\\end{x}b", "Seq[Seq[" + spelled("begin", "x") + ", Seq[" + pm_begin +
                                                   ", Char('a')], " + spelled("end", "x") + "], Char('b')]"},
      // ... also when the pmatrix has its own \end later: the closing of x
      // ends every body inside x.
      {"\\begin{x}\\begin{pmatrix}\\begin{y}a\\end{x}b\\end{pmatrix}",
       "Seq[Seq[" + spelled("begin", "x") + ", Seq[" + pm_begin + ", Seq[" + spelled("begin", "y") +
           ", Char('a')]], " + spelled("end", "x") +
           "], Char('b'), Raw(\"\\\\end\"), Seq[Char('p'), Char('m'), Char('a'), "
           "Char('t'), Char('r'), Char('i'), Char('x')]]"},
      {"\\begin", "error: expected braced environment name"},
  });
}

// The environment that the parsed text consists of.
ast::Environment parse_environment_node(const std::string& text) {
  Result<ast::Expr> tree = Parser(text).parse();
  EXPECT_TRUE(tree.ok()) << text;
  if (!tree.ok()) return {};
  const auto* seq = tree.value().get_if<ast::Sequence>();
  const auto* env =
      seq != nullptr && seq->items.size() == 1 ? seq->items[0].get_if<ast::Environment>() : nullptr;
  EXPECT_NE(env, nullptr) << ast::dump(tree.value());
  return env != nullptr ? *env : ast::Environment{};
}

TEST(EnvironmentsTest, AlignRowsKeepTheirMarks) {
  const ast::Environment two =
      parse_environment_node("\\begin{align}a&=b\\label{x}\\\\c&=d\\notag\\end{align}");
  EXPECT_EQ(ast::dump(ast::Expr(two)),
            "Environment(1)[[Seq[Char('a')], Seq[Char('='), Char('b')]], [Seq[Char('c')], Seq[Char('='), "
            "Char('d')]]]");
  ASSERT_EQ(two.trivia->row_annotations.size(), 2u);
  EXPECT_TRUE(two.trivia->row_annotations[0].has_label);
  EXPECT_FALSE(two.trivia->row_annotations[0].no_number);
  EXPECT_FALSE(two.trivia->row_annotations[1].has_label);
  EXPECT_TRUE(two.trivia->row_annotations[1].no_number);
  EXPECT_EQ(two.trivia->row_annotations[1].no_number_command, "\\notag");

  // A later mark replaces an earlier one; marks may stand apart.
  const ast::Environment later =
      parse_environment_node("\\begin{alignat}{1}a\\notag \\nonumber\\\\b\\end{alignat}");
  ASSERT_EQ(later.trivia->row_annotations.size(), 2u);
  EXPECT_EQ(later.trivia->row_annotations[0].no_number_command, "\\nonumber");

  // A lone row keeps its mark as raw TeX at the end of its last cell.
  const ast::Environment one = parse_environment_node("\\begin{align}a=b\\notag\\end{align}");
  EXPECT_EQ(ast::dump(ast::Expr(one)),
            "Environment(1)[[Seq[Char('a'), Char('='), Char('b'), Raw(\"\\\\notag\")]]]");
  ASSERT_EQ(one.trivia->row_annotations.size(), 1u);
  EXPECT_TRUE(one.trivia->row_annotations[0].no_number);
  EXPECT_FALSE(one.trivia->row_annotations[0].no_number_command.has_value());

  // Rows of other environments carry no marks.
  EXPECT_TRUE(parse_environment_node("\\begin{gather}a\\\\b\\end{gather}").trivia->row_annotations.empty());
}

TEST(EnvironmentsTest, TrailingTagPiecesBecomeRowLabels) {
  // An unknown \tag with an option keeps the option visible after it.
  const ast::Environment two = parse_environment_node("\\begin{align}a\\tag[1]\\\\b\\end{align}");
  EXPECT_EQ(ast::dump(ast::Expr(two)), "Environment(1)[[Seq[Char('a')]], [Seq[Char('b')]]]");
  ASSERT_EQ(two.trivia->row_annotations.size(), 2u);
  ASSERT_TRUE(two.trivia->row_annotations[0].label);
  EXPECT_EQ(ast::dump(*two.trivia->row_annotations[0].label), "Seq[Char('['), Char('1'), Char(']')]");
  EXPECT_FALSE(two.trivia->row_annotations[1].label);

  // In a lone row the piece stays where it is.
  const ast::Environment one = parse_environment_node("\\begin{align}a\\tag[1]\\end{align}");
  EXPECT_EQ(ast::dump(ast::Expr(one)),
            "Environment(1)[[Seq[Char('a'), Seq[Raw(\"\\\\tag\"), Char('['), Char('1'), Char(']')]]]]");
  EXPECT_FALSE(one.trivia->row_annotations[0].label);
}

TEST(EnvironmentsTest, WhitespaceKeptBesideTheRows) {
  const ast::Environment gather = parse_environment_node("\\begin{gather} a \\\\ b & c \\end{gather}");
  EXPECT_EQ(gather.trivia->row_leading_space, (ast::TextList{" ", " "}));
  EXPECT_EQ(gather.trivia->cell_leading_space, (decltype(gather.trivia->cell_leading_space){{}, {" "}}));
  EXPECT_FALSE(gather.trivia->opening_raw.has_value());

  const ast::Environment array =
      parse_environment_node("\\begin{array}{c}a\\\\ \\hdashline b\\\\ \\hfil c\\\\ d \\end{array}");
  EXPECT_EQ(array.trivia->opening_raw, "c");
  EXPECT_EQ(array.trivia->row_leading_space, (ast::TextList{"", " \\hdashline", " ", ""}));
  EXPECT_TRUE(array.trivia->row_annotations.empty());
}

TEST(EnvironmentsTest, EquationBodies) {
  expect_parses({
      {"\\begin{equation}a\\end{align}b\\end{equation}",
       "Seq[Seq[Char('a'), Raw(\"\\\\end{align}\"), Char('b')]]"},
      {"\\begin{equation} a \\\\ b", "Seq[Seq[Char('a'), Raw(\"\\\\\\\\\"), Char('b')]]"},
      {"\\begin{equation}a\\end b",
       "Seq[Seq[" + spelled("begin", "equation") + ", Char('a'), Raw(\"\\\\end\"), Char('b')]]"},
  });
}

TEST(EnvironmentsTest, Arrays) {
  expect_parses({
      {"\\begin{array}{cc}a&b\\end{array}", "Seq[Environment(0)[[Seq[Char('a')], Seq[Char('b')]]]]"},
      {"\\begin{array}{c}\\end{array}", "Seq[Environment(0)[[Seq[]]]]"},
      {"\\begin{array}cc a&b\\end{array}", "Seq[Environment(0)[[Seq[Char('a')], Seq[Char('b')]]]]"},
      // A bare specifier runs up to whitespace or a separator.
      {"\\begin{array}a&b\\end{array}", "Seq[Environment(0)[[Seq[], Seq[Char('b')]]]]"},
      {"\\begin{array}cc", "Seq[Seq[Raw(\"\\\\begin{array}cc\")]]"},
      {"\\begin{array}", "Seq[Seq[Raw(\"\\\\begin{array}\")]]"},
      // \hline vanishes, also under the last row.
      {"\\begin{array}{c}\\hline a\\\\\\hline b\\\\ \\hline\\end{array}",
       "Seq[Environment(0)[[Seq[Char('a')]], [Seq[Char('b')]]]]"},
      {"\\begin{array}{c}a\\\\\\hline\\end{array}", "Seq[Environment(0)[[Seq[Char('a')]]]]"},
  });
}

TEST(EnvironmentsTest, RowStacksAndRules) {
  expect_parses({
      {"\\substack{a\\\\b}", "Seq[Substack[[Seq[Char('a')]], [Seq[Char('b')]]]]"},
      {"\\substack{ a \\\\ }", "Seq[Substack[[Seq[Char('a')]]]]"},
      {"\\substack{}", "Seq[Substack[]]"},
      {"\\substack{a b c", "error: expected \\\\ or closing brace for substack content"},
      {"\\substack{a&b}", "Seq[Substack[[Seq[Char('a'), Raw(\"&\"), Char('b')]]]]"},
      {"\\substack x", "Seq[Raw(\"\\\\substack\"), Char('x')]"},
      {"\\cline{1-2}x", "Seq[Char('x')]"},
      {"\\cline x", "Seq[Raw(\"\\\\cline\"), Char('x')]"},
      // The marks of rows met outside one stay raw.
      {"a\\hline b", "Seq[Char('a'), Raw(\"\\\\hline\"), Char('b')]"},
  });
}

TEST(EnvironmentsTest, PlainTexGrids) {
  expect_parses({
      {"\\matrix{a & b \\cr c}",
       "Seq[Hybrid[Raw(\"\\\\matrix{\"), Visible(Char('a')), Raw(\" &\"), Visible(Char('b')), "
       "Raw(\"\\\\cr\"), "
       "Visible(Char('c')), Raw(\"}\")]]"},
      {"\\pmatrix{(a&b)&c\\\\\\cr d}",
       "Seq[Hybrid[Raw(\"\\\\pmatrix{\"), Visible(Seq[Char('('), Char('a'), Raw(\"&\"), Char('b'), "
       "Char(')')]), "
       "Raw(\"&\"), Visible(Char('c')), Raw(\"\\\\\\\\\\\\cr\"), Visible(Char('d')), Raw(\"}\")]]"},
      // \cases cuts its cells at every `&` outside braces, between bars too;
      // an escaped `\&` stays in its cell.
      {"\\cases{a\\&b&|x&y|}",
       "Seq[Hybrid[Raw(\"\\\\cases{\"), Visible(Seq[Char('a'), Raw(\"\\\\&\"), Char('b')]), Raw(\"&\"), "
       "Visible(Seq[Char('|'), Char('x')]), Raw(\"&\"), Visible(Seq[Char('y'), Char('|')]), Raw(\"}\")]]"},
      {"\\cases{x & {a & b} \\\\ y \\cr}",
       "Seq[Hybrid[Raw(\"\\\\cases{\"), Visible(Char('x')), Raw(\"&\"), "
       "Visible(Seq[Char('a'), Raw(\" &\"), Char('b')]), Raw(\"\\\\\\\\\"), "
       "Visible(Seq[Char('y'), Raw(\" \\\\cr\")]), Raw(\"}\")]]"},
      {"\\cases x", "Seq[Raw(\"\\\\cases\"), Char('x')]"},
      {"\\eqalign{}", "Seq[Hybrid[Raw(\"\\\\eqalign{}\")]]"},
      {"\\matrix x", "Seq[Raw(\"\\\\matrix\"), Char('x')]"},
      {"\\matrix{\\begin}", "error: expected braced environment name"},
  });
}

}  // namespace
}  // namespace quorvix::parser
