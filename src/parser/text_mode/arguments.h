// Arguments of the text-mode commands and wrappers: braced groups read as
// raw text, located in the parser's own text so that nested arguments are
// parsed in place instead of being copied at every level.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/result.h"

namespace quorvix::parser {

class Parser;

// The characters [begin, end) of the parser's text.
struct TextSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// After whitespace, the inside of a `{...}` group with braces counted
// verbatim; the parser moves past the `}`. Fails as parse_raw_group does:
// "expected braced <context>", or "unterminated braced <context>" with the
// position at the end of the input.
Result<TextSpan> read_raw_group_span(Parser& p, std::string_view context);

// True when the span holds `c`.
bool span_contains(const Parser& p, TextSpan span, char32_t c);

}  // namespace quorvix::parser
