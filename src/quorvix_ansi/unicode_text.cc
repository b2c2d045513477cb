#include "quorvix_ansi/unicode_text.h"

namespace quorvix::quorvix_ansi {

bool is_valid_utf8(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const Utf8Step step = decode_utf8(s, pos);
    if (!step.valid) return false;
    pos += step.length;
  }
  return true;
}

std::string utf8_lossy(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    const Utf8Step step = decode_utf8(s, pos);
    if (step.valid)
      out.append(s.substr(pos, step.length));
    else
      append_utf8(out, kReplacementCharacter);
    pos += step.length;
  }
  return out;
}

std::string_view trim_white_space(std::string_view s) {
  std::size_t first = s.size();
  std::size_t end = 0;
  for (std::size_t pos = 0; pos < s.size();) {
    const Utf8Step step = decode_utf8(s, pos);
    if (!step.valid || !is_white_space(step.code_point)) {
      if (first == s.size()) first = pos;
      end = pos + step.length;
    }
    pos += step.length;
  }
  if (first == s.size()) return {};
  return s.substr(first, end - first);
}

}  // namespace quorvix::quorvix_ansi
