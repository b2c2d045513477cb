// Braces of a `{...}` group kept as raw text when the group's content is raw
// at both ends (typically an unrecognised environment copied verbatim), so
// that the written TeX keeps the braces that belong to it.
#pragma once

#include <string_view>

#include "ast/expr.h"

namespace quorvix::parser {

// True when both ends of a group's content are raw TeX: the leading end is a
// raw "\begin" (reached through at least one Sequence) or a Hybrid starting
// with a Raw part; the trailing end is a raw text that is "\end" or ends in
// "}", a two-item Sequence [RawTex "\end", name] closing an enclosing
// Sequence, or a Hybrid ending with a Raw part.
bool expr_keeps_outer_group_braces_raw(const ast::Expr& expr);

// The group's content with its braces restored as raw text when
// expr_keeps_outer_group_braces_raw holds; otherwise the content unchanged.
ast::Expr preserve_raw_group_braces(ast::Expr&& expr);

// Joins `text` to the front of the first item of a non-empty Sequence.
void prepend_raw_group_shell(ast::Sequence& seq, std::string_view text);
// Joins `text` to the end of the last item of a non-empty Sequence; after a
// closing [RawTex "\end", name] pair it becomes a separate RawTex.
void append_raw_group_shell(ast::Sequence& seq, std::string_view text);

}  // namespace quorvix::parser
