// Clean-up of the request's TeX before parsing: surrounding white space,
// byte-order marks, $ / $$ delimiters and line endings.
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "parser/chars.h"
#include "parser/parser.h"

namespace quorvix::parser {

namespace {

// The length of the white-space character that begins `text`, or 0.
std::size_t leading_white_space_length(std::string_view text) {
  const Utf8Step step = quorvix::decode_utf8(text, 0);
  return step.valid && is_whitespace(step.code_point) ? step.length : 0;
}

std::string_view trim_leading(std::string_view text) {
  while (!text.empty()) {
    const std::size_t len = leading_white_space_length(text);
    if (len == 0) break;
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
    // Only a whole character that reaches the end counts.
    if (leading_white_space_length(text.substr(start)) != text.size() - start) break;
    text.remove_suffix(text.size() - start);
  }
  return text;
}

std::string_view trim(std::string_view text) { return trim_trailing(trim_leading(text)); }

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// CR LF and lone CR become LF, then every LF becomes CR LF.
std::string to_crlf_line_endings(std::string_view text, std::string out) {
  out.reserve(out.size() + text.size() + text.size() / 8);
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

std::string normalize_latex(std::string_view latex) { return normalize_latex(latex, std::string()); }

std::string normalize_latex(std::string_view latex, std::string out) {
  std::string_view text = trim(latex);
  while (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
  text = trim(text);
  if (text.empty()) return out;

  std::string_view inner;
  if (text.size() >= 4 && text.substr(0, 2) == "$$" && text.substr(text.size() - 2) == "$$") {
    inner = text.substr(2, text.size() - 4);
  } else if (text.size() >= 2 && text.front() == '$' && text.back() == '$') {
    inner = text.substr(1, text.size() - 2);
  } else {
    out.append(text);
    return out;
  }
  return to_crlf_line_endings(trim(inner), std::move(out));
}

}  // namespace quorvix::parser
