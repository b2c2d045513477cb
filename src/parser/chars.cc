#include "parser/chars.h"

namespace quorvix::parser {

std::u32string decode_utf8(std::string_view text) { return decode_utf8(text, std::u32string()); }

std::u32string decode_utf8(std::string_view text, std::u32string out) {
  out.reserve(out.size() + text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Step step = quorvix::decode_utf8(text, pos);
    out.push_back(step.code_point);
    pos += step.length;
  }
  return out;
}

std::string encode_utf8(std::u32string_view chars) {
  std::string out;
  out.reserve(chars.size());
  for (char32_t c : chars) append_utf8(out, c);
  return out;
}

}  // namespace quorvix::parser
