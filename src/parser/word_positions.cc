#include "parser/word_positions.h"

#include <algorithm>

#include "parser/chars.h"

namespace quorvix::parser {

std::optional<std::size_t> ControlWordPositions::next(std::u32string_view chars, std::size_t from) {
  if (!built_) {
    built_ = true;
    const std::size_t n = word_.size();
    for (std::size_t i = 0; i + n < chars.size(); ++i) {
      // The first letter is looked at before the rest of the word.
      if (chars[i] != U'\\' || (n > 0 && chars[i + 1] != word_.front()) || chars.substr(i + 1, n) != word_)
        continue;
      if (i + 1 + n < chars.size() && is_ascii_letter(chars[i + 1 + n])) continue;
      positions_.push_back(i);
    }
  }
  const auto it = std::lower_bound(positions_.begin(), positions_.end(), from);
  if (it == positions_.end()) return std::nullopt;
  return *it;
}

}  // namespace quorvix::parser
