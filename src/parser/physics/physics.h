// The chemistry command \ce and the physics shorthands (\qty, \abs, \comm,
// \pmqty, \xmat and their relatives). None of them has a template of its
// own: the command word stays raw TeX and what it encloses is translated, so
// the equation shows the content while the source survives.
//
// Bodies, arguments and cells are located in the parser's own text and
// parsed in place as ranges of it (Parser::parse_text_range), and the end of
// a delimited body comes from the parser's table of delimiter closers, so
// nested commands are neither copied nor rescanned at every level.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "common/result.h"
#include "parser/parser.h"
#include "parser/text_mode/arguments.h"

namespace quorvix::parser {

// --- Bodies ------------------------------------------------------------------

// "<name> <what>": the context of a message.
std::string physics_context(std::string_view name, std::string_view what);

// After whitespace, `open` (`(`, `[` or `|`), the text up to its closer
// (`)`, `]`, `|`) and the closer; the parser moves past the closer. Fails with "expected <open> after
// \<name>" or "unterminated physics delimiter for \<name>".
Result<TextSpan> parse_physics_delimited_body(Parser& p, char32_t open, std::string_view name);

// The body that follows a physics command, by its first character: a
// delimited body shown with its delimiters, a braced group without them, or
// the switch content of the rest of the group. Nothing at the end of the
// input: the command has no body.
Result<std::optional<ast::Expr>> parse_physics_auto_brace_body(Parser& p, std::string_view name);

// The cells of a physics matrix body: `span` cut at every `&` and `\\` that
// stands outside braces, each cell translated as a visible part and each
// separator kept as a raw part. An escaped character (`\&`, `\{`) is part
// of its cell.
Status parse_physics_matrix_raw_content(Parser& p, TextSpan span, std::vector<ast::HybridPart>& parts);

}  // namespace quorvix::parser
