// Arguments of the commands that are kept as raw TeX when their argument
// cannot be read: the parser goes back to just after the command name and the
// command alone becomes raw text. What follows the name is then parsed again
// as ordinary input, so every argument attempt runs once per position (see
// attempt_memo.h): a `{` group shares its attempt with the `{` atom that the
// same text is read as afterwards.
#pragma once

#include <string_view>

#include "ast/expr.h"
#include "common/result.h"
#include "parser/parser.h"

namespace quorvix::parser {

// The `{` group that comes next (the parser stands on the `{`).
Result<ast::Expr> parse_brace_group_once(Parser& p);

// A `{` group, or an atom with its scripts, after whitespace
// (parse_required_group_or_atom).
Result<ast::Expr> parse_recoverable_group_or_atom(Parser& p, std::string_view context);

// A `{` group after whitespace (parse_required_group).
Result<ast::Expr> parse_recoverable_group(Parser& p, std::string_view context);

// After a failed argument that is not fatal: the parser returns to the
// position `after_name` and `result` becomes RawTex "\" + name. The readers
// above leave nothing else behind when they fail: a failed attempt undoes
// itself, and the failures before an attempt only skip whitespace.
void recover_as_raw_command(Parser& p, Result<ast::Expr>& result, std::size_t after_name,
                            std::string_view name);

// "\" + name as raw TeX.
ast::Expr raw_command(std::string_view name);

}  // namespace quorvix::parser
