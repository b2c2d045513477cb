#include "parser/text_mode/arguments.h"

#include <string>

#include "parser/parser.h"

namespace quorvix::parser {

namespace {

[[gnu::noinline]] Error group_error(std::string_view prefix, std::string_view context) {
  std::string message(prefix);
  message += context;
  return make_error(std::move(message));
}

}  // namespace

Result<TextSpan> read_raw_group_span(Parser& p, std::string_view context) {
  p.skip_ws();
  if (p.peek() != U'{') return group_error("expected braced ", context);
  const std::size_t open = p.pos();
  const std::optional<std::size_t> close = p.closing_brace(open);
  if (!close) {
    p.set_pos(p.chars().size());
    return group_error("unterminated braced ", context);
  }
  p.set_pos(*close + 1);
  return TextSpan{open + 1, *close};
}

bool span_contains(const Parser& p, TextSpan span, char32_t c) {
  return p.chars().substr(span.begin, span.end - span.begin).find(c) != std::u32string_view::npos;
}

}  // namespace quorvix::parser
