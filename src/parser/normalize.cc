// Clean-up of the request's TeX before parsing: surrounding white space,
// byte-order marks, $ / $$ delimiters and line endings.
#include <algorithm>
#include <string>
#include <string_view>

#include "parser/chars.h"
#include "parser/parser.h"

namespace quorvix::parser {

namespace {

// Length in bytes of the UTF-8 sequence that starts with `lead`.
std::size_t sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// Code point of the UTF-8 sequence at `text[i]` that is `len` bytes long.
char32_t code_point_at(std::string_view text, std::size_t i, std::size_t len) {
  const std::u32string decoded = decode_utf8(text.substr(i, len));
  return decoded.size() == 1 ? decoded.front() : 0xFFFD;
}

std::string_view trim_leading(std::string_view text) {
  while (!text.empty()) {
    const std::size_t len = std::min(sequence_length(static_cast<unsigned char>(text.front())), text.size());
    if (!is_whitespace(code_point_at(text, 0, len))) break;
    text.remove_prefix(len);
  }
  return text;
}

std::string_view trim_trailing(std::string_view text) {
  while (!text.empty()) {
    // Step back over continuation bytes to the start of the last character.
    std::size_t start = text.size() - 1;
    while (start > 0 && text.size() - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
      --start;
    if (!is_whitespace(code_point_at(text, start, text.size() - start))) break;
    text.remove_suffix(text.size() - start);
  }
  return text;
}

std::string_view trim(std::string_view text) { return trim_trailing(trim_leading(text)); }

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// CR LF and lone CR become LF, then every LF becomes CR LF.
std::string to_crlf_line_endings(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace

std::string normalize_latex(std::string_view latex) {
  std::string_view text = trim(latex);
  while (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
  text = trim(text);
  if (text.empty()) return {};

  std::string_view inner;
  if (text.size() >= 4 && text.substr(0, 2) == "$$" && text.substr(text.size() - 2) == "$$") {
    inner = text.substr(2, text.size() - 4);
  } else if (text.size() >= 2 && text.front() == '$' && text.back() == '$') {
    inner = text.substr(1, text.size() - 2);
  } else {
    return std::string(text);
  }
  return to_crlf_line_endings(trim(inner));
}

}  // namespace quorvix::parser
