#include "parser/char_debug.h"

#include <cstdio>

#include "parser/chars.h"

namespace quorvix::parser {

std::string char_debug(char32_t c) {
  std::string out = "'";
  switch (c) {
    case U'\'': out += "\\'"; break;
    case U'\\': out += "\\\\"; break;
    case U'\n': out += "\\n"; break;
    case U'\r': out += "\\r"; break;
    case U'\t': out += "\\t"; break;
    case U'\0': out += "\\0"; break;
    default:
      if (c < 0x20 || c == 0x7F) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "\\u{%x}", static_cast<unsigned>(c));
        out += buf;
      } else {
        append_utf8(out, c);
      }
  }
  out += '\'';
  return out;
}

std::string optional_char_debug(std::optional<char32_t> c) {
  if (!c) return "None";
  return "Some(" + char_debug(*c) + ")";
}

}  // namespace quorvix::parser
