#include "parser/chars.h"

namespace quorvix::parser {

std::u32string decode_utf8(std::string_view text) { return decode_utf8(text, std::u32string()); }

std::u32string decode_utf8(std::string_view text, std::u32string out) {
  // No byte gives more than one code point: the characters are written into
  // room made beforehand and the string is cut to what was written. ASCII,
  // the bulk of TeX, is copied without the decoder.
  const std::size_t base = out.size();
  out.resize(base + text.size());
  char32_t* const start = out.data() + base;
  char32_t* dst = start;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t pos = 0; pos < text.size();) {
    if (bytes[pos] < 0x80) {
      *dst++ = bytes[pos++];
      continue;
    }
    const Utf8Step step = quorvix::decode_utf8(text, pos);
    *dst++ = step.code_point;
    pos += step.length;
  }
  out.resize(base + static_cast<std::size_t>(dst - start));
  return out;
}

std::string encode_utf8(std::u32string_view chars) {
  std::string out;
  out.reserve(chars.size());
  for (char32_t c : chars) append_utf8(out, c);
  return out;
}

}  // namespace quorvix::parser
