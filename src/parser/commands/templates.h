// The commands whose trees the writer draws as templates: fractions and
// \genfrac, binomials, \sqrt and \root, the strike-outs, \stackrel,
// \overset and \underset, \overbrace and \underbrace, the extensible arrows,
// \pmod / \pod.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ast/expr.h"
#include "common/result.h"

namespace quorvix::parser {

class Parser;

// The tree of the command `name` when it is one of these (the parser stands
// after the name); nothing for any other name.
std::optional<Result<ast::Expr>> parse_template_command(Parser& parser, std::string_view name);
// True for the names parse_template_command handles.
bool is_template_command(std::string_view name);

// An extensible arrow of `kind` (\xrightarrow ...): an optional [...] label
// below, then the label above. When a label cannot be read the command is
// kept raw and parsing resumes after its name.
Result<ast::Expr> parse_xarrow_command(Parser& parser, std::string_view name, ast::XArrowKind kind);

// The parenthesised form of \pmod (with "mod" in front of the argument) and
// \pod (without): Sequence[Space 5, Delimited("(", inner, ")")].
ast::Expr modulo_parenthesized_expr(ast::Expr argument, bool with_mod);

// One delimiter character: a character, a control symbol, or a delimiter
// name (\langle ...). Fails with "expected <label>" at the end of the input
// and "unsupported <label>: \<name>" for a name that is no delimiter.
Result<char32_t> parse_delimiter_char(Parser& parser, std::string_view label);

}  // namespace quorvix::parser
