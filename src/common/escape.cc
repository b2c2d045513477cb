#include "common/escape.h"

#include <cstdio>

#include "common/utf8.h"

namespace quorvix {

namespace {

bool is_escaped_control(char32_t c, const EscapeForm& form) {
  return c < 0x20 || (form.escape_delete && c == 0x7F) || (form.escape_c1 && c >= 0x80 && c <= 0x9F);
}

void append_code(std::string& out, unsigned value, bool braced) {
  char buf[16];
  std::snprintf(buf, sizeof buf, braced ? "\\u{%x}" : "\\x%02X", value);
  out += buf;
}

}  // namespace

void append_escaped_char(std::string& out, char32_t c, const EscapeForm& form) {
  if (c == static_cast<char32_t>(static_cast<unsigned char>(form.quote)) || c == U'\\') {
    out += '\\';
    out += static_cast<char>(c);
    return;
  }
  switch (c) {
    case U'\n': out += "\\n"; return;
    case U'\r': out += "\\r"; return;
    case U'\t': out += "\\t"; return;
    case U'\0':
      if (form.nul_as_zero) {
        out += "\\0";
        return;
      }
      break;
    default: break;
  }
  if (is_escaped_control(c, form))
    append_code(out, static_cast<unsigned>(c), form.braced_code);
  else
    append_utf8(out, c);
}

std::string quote_escaped(std::string_view text, const EscapeForm& form) {
  std::string out;
  out.reserve(text.size() + 2);
  out += form.quote;
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Step step = decode_utf8(text, pos);
    if (step.valid) {
      append_escaped_char(out, step.code_point, form);
    } else {
      switch (form.invalid) {
        case InvalidUtf8::kCopy: out.append(text.substr(pos, step.length)); break;
        case InvalidUtf8::kHex:
          for (std::size_t i = 0; i < step.length; ++i)
            append_code(out, static_cast<unsigned char>(text[pos + i]), /*braced=*/false);
          break;
        case InvalidUtf8::kReplace: append_utf8(out, kReplacementCharacter); break;
      }
    }
    pos += step.length;
  }
  out += form.quote;
  return out;
}

}  // namespace quorvix
