// One delimiter character read from the input, as \genfrac (and the size
// commands) take it: a character, a control symbol or a delimiter name.
#include <array>
#include <string>

#include "parser/chars.h"
#include "parser/commands/left_right_delimiter.h"
#include "parser/commands/templates.h"
#include "parser/parser.h"

namespace quorvix::parser {

namespace {

[[gnu::noinline]] Error expected(std::string_view label) {
  return make_error("expected " + std::string(label));
}

[[gnu::noinline]] Error unsupported(std::string_view label, std::u32string_view name) {
  return make_error("unsupported " + std::string(label) + ": \\" + encode_utf8(name));
}

}  // namespace

Result<char32_t> parse_delimiter_char(Parser& p, std::string_view label) {
  p.skip_ws();
  const std::optional<char32_t> first = p.next_char();
  if (!first) return expected(label);
  if (*first != U'\\') return *first;
  const std::optional<char32_t> second = p.next_char();
  if (!second) return expected(label);
  if (!is_ascii_letter(*second)) return *second == U'|' ? U'\u2016' : *second;
  const std::size_t start = p.pos() - 1;
  while (p.peek() && is_ascii_letter(*p.peek())) p.next_char();
  const std::u32string_view name = p.chars().substr(start, p.pos() - start);
  // The name is ASCII letters; every delimiter name fits the buffer.
  std::array<char, 16> ascii{};
  if (name.size() <= ascii.size()) {
    for (std::size_t i = 0; i < name.size(); ++i) ascii[i] = static_cast<char>(name[i]);
    if (const std::optional<char32_t> c = delimiter_name_char(std::string_view(ascii.data(), name.size())))
      return *c;
  }
  return unsupported(label, name);
}

}  // namespace quorvix::parser
