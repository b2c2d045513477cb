// Scripts, primes, limit modifiers and big-operator operands, through whole
// parses (input -> compact dump of the tree).
#include <string>

#include <gtest/gtest.h>

#include "parse_test_util.h"

namespace quorvix::parser {
namespace {

using testing::dump_result;

using testing::expect_parses;

TEST(ScriptsTest, PlainBases) {
  expect_parses({
      {"_x", R"(Seq[Script(Seq[], sub=Char('x'))])"},
      {"^2 x", R"(Seq[Script(Seq[], sup=Char('2')), Char('x')])"},
      {"x^{a}", R"(Seq[Script(Char('x'), sup=Char('a'))])"},
      {"x^{ab}", R"(Seq[Script(Char('x'), sup=Seq[Char('a'), Char('b')])])"},
      {"x^ab", R"(Seq[Script(Char('x'), sup=Char('a')), Char('b')])"},
      {"x ^ 2", R"(Seq[Script(Char('x'), sup=Char('2'))])"},
      {"x_1^2", R"(Seq[Script(Char('x'), sub=Char('1'), sup=Char('2'))])"},
      {"x^2_1", R"(Seq[Script(Char('x'), sub=Char('1'), sup=Char('2'))])"},
      // A taken slot nests: the old Script becomes the base.
      {"x^a^b", R"(Seq[Script(Script(Char('x'), sup=Char('a')), sup=Char('b'))])"},
      {"x_a_b", R"(Seq[Script(Script(Char('x'), sub=Char('a')), sub=Char('b'))])"},
      {"x^a_b^c", R"(Seq[Script(Script(Char('x'), sub=Char('b'), sup=Char('a')), sup=Char('c'))])"},
      {"x_{y_z}", R"(Seq[Script(Char('x'), sub=Script(Char('y'), sub=Char('z')))])"},
      {"{x}^2", R"(Seq[Script(Seq[Char('x')], sup=Char('2'))])"},
      {"\\foo_a", R"(Seq[Script(Raw("\\foo"), sub=Char('a'))])"},
  });
}

TEST(ScriptsTest, WhitespaceAfterScriptsGoesToTheNextAtom) {
  expect_parses({
      {"x^2 \\foo", R"(Seq[Script(Char('x'), sup=Char('2')), Raw(" \\foo")])"},
      {"x  \\foo", R"(Seq[Char('x'), Raw("  \\foo")])"},
      {"x_{a \\foo} y", R"(Seq[Script(Char('x'), sub=Seq[Char('a'), Raw(" \\foo")]), Char('y')])"},
  });
}

TEST(ScriptsTest, Primes) {
  expect_parses({
      {"f''", R"(Seq[Seq[Char('f'), Char('\''), Char('\'')]])"},
      {"x_1'", R"(Seq[Script(Char('x'), sub=Char('1'), sup=Seq[Char('\'')])])"},
      {"x^{ab}'", R"(Seq[Script(Char('x'), sup=Seq[Char('a'), Char('b'), Char('\'')])])"},
      {"x^2'", R"(Seq[Script(Char('x'), sup=Seq[Char('2'), Char('\'')])])"},
      // Not directly after the base: a prime atom, which takes the next prime.
      {"f ''", R"(Seq[Char('f'), Seq[Raw(" '"), Char('\'')]])"},
      {"f[']x", R"(Seq[Seq[Char('f'), CommandSymbol("prime", U+2032)], Char('x')])"},
      {"f['' ']", R"(Seq[Seq[Char('f'), CommandSymbol("prime", U+2032)]])"},
      {"f[x]", R"(Seq[Char('f'), Char('['), Char('x'), Char(']')])"},
      {"f[ ]", R"(Seq[Char('f'), Char('['), Char(']')])"},
      {"f['", R"(Seq[Char('f'), Seq[Char('['), Char('\'')]])"},
  });
}

TEST(ScriptsTest, PrimeSuperscriptGroupsKeepTheirMarkersRaw) {
  expect_parses({
      {"x^'", R"(Seq[Seq[Char('x'), Raw("^'")]])"},
      {"x^'_a", R"(Seq[Seq[Char('x'), Raw("^'_"), Char('a')]])"},
      {"x^{'^{''}}", R"(Seq[Seq[Char('x'), Raw("^{'^{''}}")]])"},
      {"x^{'^{ab}}", R"(Seq[Seq[Char('x'), Raw("^{'^{"), Char('a'), Char('b'), Raw("}}")]])"},
      {"x^ {'_{a}}", R"(Seq[Seq[Char('x'), Raw("^{'_{"), Char('a'), Raw("}}")]])"},
      {"x^{'^{}}", R"(Seq[Seq[Char('x'), Raw("^{'^{}}")]])"},
      {"x^{a^{'}}", R"(Seq[Seq[Char('x'), Raw("^{"), Char('a'), Raw("^{'}}")]])"},
      {"x^{ab^{' '}}", R"(Seq[Seq[Char('x'), Raw("^{"), Char('a'), Char('b'), Raw("^{' '}}")]])"},
      // The tail split needs something before the "^{".
      {"x^{^{'}}", R"(Seq[Script(Char('x'), sup=Script(Seq[], sup=Raw("'")))])"},
      {"x^{'}", R"(Seq[Script(Char('x'), sup=Raw("'"))])"},
      {"x^{a^{b}}", R"(Seq[Script(Char('x'), sup=Script(Char('a'), sup=Char('b')))])"},
      // The translated part is read as a text of its own: nothing after it is
      // visible, and its trailing space stays with it.
      {"x^{'^{a}b{c}}",
       R"(Seq[Seq[Char('x'), Raw("^{'^{"), Char('a'), Raw("}"), Char('b'), Raw("{"), Char('c'), Raw("}}")]])"},
      {"x^{a ^{'}}\\foo", R"(Seq[Seq[Char('x'), Raw("^{"), Char('a'), Raw("^{'}}")], Raw("\\foo")])"},
      // The translated part fails on its own: the failure is the atom's.
      {"x^{'^{\\}}", "error: dangling backslash"},
  });
}

TEST(ScriptsTest, MarkersThatAreNotScripts) {
  expect_parses({
      {"x__", R"(Seq[Seq[Char('x'), Raw("__")]])"},
      {"x^^", R"(Seq[Seq[Char('x'), Raw("^^")]])"},
      // Inside the group the `_` takes the `}` as its argument, so the group
      // is unclosed and its brace kept raw.
      {"x_{_}", R"(Seq[Seq[Char('x'), Raw("_")], Script(Raw("{"), sub=Raw("}"))])"},
      // A failed argument leaves the marker raw; parsing resumes after it.
      {"x_", R"(Seq[Seq[Char('x'), Raw("_")]])"},
      {"x^ ", R"(Seq[Seq[Char('x'), Raw("^")]])"},
      {"x^{a", R"(Seq[Seq[Char('x'), Raw("^")], Raw("{"), Char('a')])"},
      {"x_\\", "error: dangling backslash"},
  });
}

TEST(ScriptsTest, BigOperators) {
  expect_parses({
      {"\\sum", "Seq[BigOp(Sum)]"},
      {"\\sum\\limits_{i=1}^n a_i",
       R"(Seq[BigOp(Sum, lower=Seq[Char('i'), Char('='), Char('1')], upper=Char('n'), body=Script(Char('a'), sub=Char('i')))])"},
      {"\\sum_i x_i + 1",
       R"(Seq[BigOp(Sum, lower=Char('i'), body=Script(Char('x'), sub=Char('i'))), Char('+'), Char('1')])"},
      {"\\prod\\nolimits^n x", R"(Seq[BigOp(Prod, upper=Char('n'), body=Char('x'), nolimits)])"},
      {"\\coprod_a^b_c", R"(Seq[BigOp(Coprod, lower=Char('c'), upper=Char('b'))])"},
      {"\\bigcap\\nolimits_a_b", R"(Seq[BigOp(Bigcap, lower=Char('b'), nolimits)])"},
      // A second limit of the same kind on a bare operator is written as text.
      {"\\sum_a_b", R"(Seq[Seq[BigOperatorSymbol(U+2211), Raw("_"), Char('a'), Raw("_"), Char('b')]])"},
      {"\\prod^{ab}^c",
       R"(Seq[Seq[BigSymbol(U+220F), Raw("^"), Char('a'), Char('b'), Raw("^"), Char('c')]])"},
      {"\\bigcup_a_b", R"(Seq[Seq[BigSymbol(U+22C3), Raw("_"), Char('a'), Raw("_"), Char('b')]])"},
      // A modifier after the limits has nothing to apply to.
      {"\\sum_a\\limits^b", R"(Seq[Seq[BigOp(Sum, lower=Char('a')), Raw("\\limits^"), Char('b')]])"},
      {"\\sum_a\\nolimits_b_c",
       R"(Seq[Seq[BigOp(Sum, lower=Char('a')), Raw("\\nolimits_"), Char('b'), Raw("_"), Char('c')]])"},
      {"{\\sum}\\limits_a", R"(Seq[Script(Seq[BigOp(Sum)], sub=Char('a'))])"},
  });
}

TEST(ScriptsTest, Operands) {
  expect_parses({
      {"\\sum x", "Seq[BigOp(Sum, body=Char('x'))]"},
      {"\\sum\\sum x y", "Seq[BigOp(Sum, body=BigOp(Sum, body=Char('x'))), Char('y')]"},
      {"\\sum \\foo", R"(Seq[BigOp(Sum, body=Raw(" \\foo"))])"},
      {"\\sum{x+y}", "Seq[BigOp(Sum, body=Seq[Char('x'), Char('+'), Char('y')])]"},
      // Before these the operator takes no operand.
      {"\\sum + 1", "Seq[BigOp(Sum), Char('+'), Char('1')]"},
      {"\\int-x", "Seq[IntegralSign(Int), Char('-'), Char('x')]"},
      {"\\sum&", R"(Seq[BigOp(Sum), Raw("&")])"},
      {"{\\sum_i}", "Seq[Seq[BigOp(Sum, lower=Char('i'))]]"},
      {"\\sum=\\sum,\\sum", "Seq[BigOp(Sum), Char('='), BigOp(Sum), Char(','), BigOp(Sum)]"},
      {"\\sum\\right)", "Seq[BigOp(Sum), Raw(\"\\\\right)\")]"},
      {"\\sum\\end", R"(Seq[BigOp(Sum), Raw("\\end")])"},
      {"\\sum\\ends", R"(Seq[BigOp(Sum, body=Raw("\\ends"))])"},
      {"\\sum\\rightarrow", R"(Seq[BigOp(Sum, body=Char(U+2192))])"},
      {"\\sum x_\\", "error: dangling backslash"},
  });
}

TEST(ScriptsTest, Integrals) {
  expect_parses({
      {"\\int", "Seq[IntegralSign(Int)]"},
      {"\\int x", "Seq[Integral(Int, body=Char('x'), nolimits)]"},
      {"\\int\\nolimits_0^1 f",
       "Seq[Integral(Int, lower=Char('0'), upper=Char('1'), body=Char('f'), nolimits)]"},
      {"\\int_0^1 f", "Seq[Integral(Int, lower=Char('0'), upper=Char('1'), body=Char('f'), nolimits)]"},
      {"\\int\\limits_0^1 f", "Seq[Integral(Int, lower=Char('0'), upper=Char('1'), body=Char('f'))]"},
      {"\\int_0\\limits^1",
       R"(Seq[Seq[Integral(Int, lower=Char('0'), nolimits), Raw("\\limits^"), Char('1')]])"},
      {"\\int f\\,dx", R"(Seq[Integral(Int, body=Char('f'), nolimits), Space(8), Char('d'), Char('x')])"},
      {"\\iint_D f", "Seq[Integral(Iint, lower=Char('D'), body=Char('f'), nolimits)]"},
      {"\\iiint^a", "Seq[Integral(Iiint, upper=Char('a'), nolimits)]"},
      {"\\oint", "Seq[IntegralSign(Oint)]"},
      {"\\iiiint",
       "Seq[Seq[IntegralSign(Int), DefaultColor(Char(U+EF01)), IntegralSign(Int), "
       "DefaultColor(Char(U+EF01)), "
       "IntegralSign(Int), DefaultColor(Char(U+EF01)), IntegralSign(Int)]]"},
  });
}

TEST(ScriptsTest, LimitsAndFunctionNames) {
  expect_parses({
      {"\\lim_{x\\to 0}", R"(Seq[Limit("lim", lower=Seq[Char('x'), Char(U+2192), Char('0')])])"},
      {"\\lim\\limits_x", R"(Seq[Limit("lim", lower=Char('x'))])"},
      {"\\lim\\nolimits_{x}", R"(Seq[Script(FunctionName("lim"), sub=Char('x'))])"},
      {"\\lim_x^y\\nolimits_z",
       R"(Seq[Seq[Limit("lim", lower=Char('x'), upper=Char('y')), Raw("\\nolimits_"), Char('z')]])"},
      {"\\sup^n", R"(Seq[Limit("sup", upper=Char('n'))])"},
      {"\\liminf_n", R"(Seq[Script(FunctionName("liminf"), sub=Char('n'))])"},
      {"\\sin x", R"(Seq[FunctionName("sin"), Char('x')])"},
      {"\\sin\\limits_x", R"(Seq[Seq[FunctionName("sin"), Raw("\\limits_"), Char('x')]])"},
      {"\\Pr\\projlim\\arccsc",
       R"(Seq[FunctionName("Pr"), FunctionName("projlim"), FunctionName("arccsc")])"},
      {"\\sinx", R"(Seq[Raw("\\sinx")])"},
  });
}

TEST(ScriptsTest, LimitModifiersWithoutAScript) {
  expect_parses({
      {"x\\limits y", R"(Seq[Seq[Char('x'), Raw("\\limits")], Char('y')])"},
      {"x\\nolimits", R"(Seq[Seq[Char('x'), Raw("\\nolimits")]])"},
      {"\\sum\\limits", R"(Seq[Seq[BigOp(Sum), Raw("\\limits")]])"},
      {"x\\limitsy", R"(Seq[Char('x'), Raw("\\limitsy")])"},
      {"\\limits x", R"(Seq[Raw("\\limits"), Char('x')])"},
      {"x\\limits_a", R"(Seq[Seq[Char('x'), Raw("\\limits_"), Char('a')]])"},
      {"{}\\nolimits^a", R"(Seq[Seq[Raw("\\nolimits^"), Char('a')]])"},
  });
}

TEST(ScriptsTest, MathOpAndBigSymbols) {
  expect_parses({
      {"\\mathop{lim}_x", "Seq[MathOp(Seq[Char('l'), Char('i'), Char('m')], lower=Char('x'))]"},
      {"\\mathop{x}", "Seq[MathOp(Char('x'))]"},
      {"\\mathop x\\nolimits^2", "Seq[MathOp(Char('x'), upper=Char('2'), nolimits, unbraced)]"},
      {"\\mathop\\limits_a^b",
       "Seq[MathOp(Raw(\"\\\\limits\"), lower=Char('a'), upper=Char('b'), unbraced)]"},
      {"\\mathop", R"(Seq[Raw("\\mathop")])"},
      {"\\mathop{x", R"(Seq[Raw("\\mathop{"), Char('x')])"},
      {"a \\mathop{x", R"(Seq[Char('a'), Raw(" \\mathop{"), Char('x')])"},
      {"\\bigoplus_i x", "Seq[Script(BigSymbol(U+2295), sub=Char('i')), Char('x')]"},
      {"\\bigvee\\bigodot\\biguplus\\bigwedge\\bigotimes",
       "Seq[BigSymbol(U+22C1), BigSymbol(U+2299), BigSymbol(U+228E), BigSymbol(U+22C0), BigSymbol(U+2297)]"},
      {"\\bigsqcup^n", "Seq[Script(BigOperatorSymbol(U+2294), sup=Char('n'))]"},
  });
}

TEST(ScriptsTest, OperandStopsBeforeAWhitespaceSeparatedStopInGather) {
  // In a gather row the whitespace before \\ stays unread, so only
  // whitespace separates the operator from the row break.
  Parser p("\\sum \\\\");
  p.environment_stack().push("gather*");
  EXPECT_EQ(dump_result(p.parse_complete_atom()), "error: expected big-operator operand");

  Parser q("x \\\\");
  q.environment_stack().push("gather");
  EXPECT_EQ(dump_result(q.parse_complete_atom()), "Char('x')");
  EXPECT_EQ(q.pos(), 1u);
  EXPECT_EQ(q.pending_space(), "");

  Parser r("x \\\\");
  r.environment_stack().push("align");
  EXPECT_EQ(dump_result(r.parse_complete_atom()), "Char('x')");
  EXPECT_EQ(r.pos(), 2u);
  EXPECT_EQ(r.pending_space(), " ");
}

TEST(ScriptsTest, FailedScriptGroupsAreNotReadAgain) {
  // Each unclosed script group fails once; reading the `{` again as an atom
  // is a memo hit, so 40 levels do not take 2^40 attempts.
  std::string input;
  for (int i = 0; i < 40; ++i) input += "x^{";
  Parser p(input);
  auto r = p.parse_sequence(std::nullopt);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(p.attempt_memo().size(), 40u);
  EXPECT_EQ(r.value().as<ast::Sequence>().items.size(), 2u * 40u);
}

}  // namespace
}  // namespace quorvix::parser
