#include "parser/commands/left_right_delimiter.h"

#include <utility>

#include "parser/chars.h"
#include "parser/parser.h"

namespace quorvix::parser {

namespace {

bool is_raw_name_delimiter(std::string_view name) {
  return name == "lgroup" || name == "rgroup" || name == "lt" || name == "gt";
}

Error expected(std::string_view label) {
  std::string message = "expected ";
  message += label;
  return make_error(std::move(message));
}

Result<LeftRightDelimiter> read_delimiter(Parser& p, std::string_view label) {
  p.skip_ws();
  const std::optional<char32_t> first = p.next_char();
  if (!first) return expected(label);
  if (*first != U'\\') return LeftRightDelimiter{DelimiterForm::Plain, *first, {}};
  const std::optional<char32_t> second = p.peek();
  if (!second) return expected(label);
  if (!is_ascii_letter(*second)) {
    p.next_char();
    return LeftRightDelimiter{DelimiterForm::Plain, *second == U'|' ? U'\u2016' : *second, {}};
  }
  const std::size_t start = p.pos();
  while (p.peek() && is_ascii_letter(*p.peek())) p.next_char();
  std::string name = encode_utf8(p.chars().substr(start, p.pos() - start));
  if (is_raw_name_delimiter(name)) return LeftRightDelimiter{DelimiterForm::RawName, 0, std::move(name)};
  std::string message = "unsupported ";
  message += label;
  message += ": \\";
  message += name;
  return make_error(std::move(message));
}

}  // namespace

Result<DelimiterWithRaw> parse_left_right_delimiter_with_raw(Parser& p, std::string_view label) {
  const std::size_t start = p.pos();
  QV_ASSIGN_OR_RETURN(LeftRightDelimiter delimiter, read_delimiter(p, label));
  return DelimiterWithRaw{std::move(delimiter), encode_utf8(p.chars().substr(start, p.pos() - start))};
}

}  // namespace quorvix::parser
