#include "parser/char_debug.h"

#include "common/escape.h"

namespace quorvix::parser {

namespace {

constexpr EscapeForm kCharForm{
    .quote = '\'', .nul_as_zero = true, .escape_delete = true, .braced_code = true};

}  // namespace

std::string char_debug(char32_t c) {
  std::string out = "'";
  append_escaped_char(out, c, kCharForm);
  out += '\'';
  return out;
}

std::string optional_char_debug(std::optional<char32_t> c) {
  if (!c) return "None";
  return "Some(" + char_debug(*c) + ")";
}

}  // namespace quorvix::parser
