// Text mode: the scanner for the argument of \text and the other commands
// whose argument is prose rather than math, and the small tree builders it
// uses. The scanner never fails on its input: unknown commands become raw
// pieces, an unclosed group or a lone dollar sign stays ordinary text. Only
// nesting past the parser's bound (\sout{\sout{...}} and accents over groups
// recurse) ends it with the nesting failure.
#pragma once

#include <string_view>
#include <vector>

#include "ast/expr.h"
#include "common/result.h"

namespace quorvix::parser {

class Parser;

// Scans `text` (characters taken out of the input) into a Sequence of Text
// runs, symbols and raw pieces. `p` holds the nesting count.
Result<ast::Expr> parse_content(Parser& p, std::u32string_view text);

// Appends RawTex "\", piece and the argument's items.
void push_raw_backslash_items(ast::ExprList& items, ast::Expr&& piece, ast::Expr&& argument);
// Script with an empty base and `x` as its superscript.
ast::Expr text_empty_base_superscript(ast::Expr x);
// Appends the items of a text accent (the character after the backslash, or
// the letter of \H, \r, \u, \v) over its argument; the backslash stays raw.
void push_text_accent_items(ast::ExprList& items, char32_t accent, ast::Expr&& argument);
// The text between two dollars inside text mode: Text runs cut at `<`, `>`
// and `?`, each of which becomes a Char.
void push_text_math_fragment_items(ast::ExprList& items, std::u32string_view chars);

}  // namespace quorvix::parser
